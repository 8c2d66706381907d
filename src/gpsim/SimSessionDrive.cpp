// SPDX-License-Identifier: GPL-3.0-or-later
// Driving the program: pins driven from outside, runs kept to the clock, and breakpoints with conditions
// (on a register, or from a line's Nth hit).
#include "gpsim/SimSession.h"

#include <QTimer>

#include <algorithm>
#include <memory>

namespace {

constexpr double kSliceSeconds = 0.02;    // a real-time run goes this far ahead of the wall clock
constexpr const char* kPullOhms = "10000";  // a driven pin goes through a resistor: the program's output wins
constexpr const char* kOpenOhms = "1e12";   // so high that the pin floats as if nothing were attached

QString Hex(uint32_t value) {
    return "0x" + QString::number(value, 16);
}

}  // namespace

// --- pins -------------------------------------------------------------------------------------------------

QString SimSession::GpsimPin(const PinName& pin) {
    // gpsim names a pin by its port and bit: "portb0", "gpio2"
    return pin.first.toLower() + QString::number(pin.second);
}

SimSession::Level SimSession::pinLevel(const PinName& pin) const {
    auto level = levels_.find(pin);
    return level == levels_.end() ? Level::Floating : level->second;
}

void SimSession::drivePin(const PinName& pin, Level level) {
    if (pin.second < 0 || pin.second > 7 || pin.first.isEmpty() ||
        !std::all_of(pin.first.begin(), pin.first.end(), [](QChar c) { return c.isLetterOrNumber(); }))
        return;
    if (state_ == State::Stopped) {
        levels_[pin] = level;
        drives_.push_back({stop_.cycles, pin, level});
        setState(State::Stepping);
        sendLevel(pin, level);
        askStop(stackDepth_);  // the port is read again: the program sees the pin at its next instruction
    } else if (state_ == State::Running) {
        levels_[pin] = level;
        pendingDrives_.push_back({pin, level});  // gpsim reads no command while it runs
    }
}

void SimSession::sendLevel(const PinName& pin, Level level) {
    QString name = GpsimPin(pin);
    if (!std::exchange(modulesLoaded_, true))
        send("module library libgpsim_modules");
    if (!wired_.count(pin)) {
        // a resistor from the pin to a voltage the user sets: high, low, or so weak the pin floats
        wired_.insert(pin);
        send("module load pullup kd_" + name, [this](const std::string& text) {
            if (text.find("not created") != std::string::npos)
                emit note("gpsim could not drive a pin: its module library (libgpsim_modules) was not found.");
        });
        send("node kn_" + name);
        send(QString("attach kn_%1 %1 kd_%1.pin").arg(name), [this, name](const std::string& text) {
            if (text.find("ERROR") != std::string::npos)
                emit note(QString("gpsim has no pin %1 to drive.").arg(name.toUpper()));
        });
    }
    send(QString("kd_%1.resistance = %2").arg(name, kPullOhms));
    send(QString("kd_%1.voltage = %2").arg(name, level == Level::High ? "5" : "0"));
    // a pin let go from high is first pulled low: gpsim takes no new level from a resistor too weak to
    // move the pin, and the pin would read high on
    if (level == Level::Floating)
        send(QString("kd_%1.resistance = %2").arg(name, kOpenOhms));
}

void SimSession::applyPendingDrives() {
    if (pendingDrives_.empty())
        return;
    auto applied = std::make_shared<std::vector<std::pair<PinName, Level>>>(std::move(pendingDrives_));
    pendingDrives_.clear();
    for (const auto& [pin, level] : *applied)
        sendLevel(pin, level);
    // a step back replays them at the cycle the program met them
    send("cycles", [this, applied](const std::string& text) {
        uint64_t raw = ParseCycles(text).value_or(cycleOffset_);
        for (const auto& [pin, level] : *applied)
            drives_.push_back({raw >= cycleOffset_ ? raw - cycleOffset_ : 0, pin, level});
    });
}

// --- breakpoints with conditions ----------------------------------------------------------------------------

QString SimSession::BreakCommand(const RegisterBreak& brk) {
    switch (brk.kind) {
        case RegisterBreak::Kind::Read:
            return "break r " + Hex(brk.address);
        case RegisterBreak::Kind::Equals:
            // the condition is read after the write: the register holds the value written
            return QString("break w %1, (reg(%1) == %2)").arg(Hex(brk.address)).arg(brk.value & 0xFF);
        case RegisterBreak::Kind::Write:
            break;
    }
    return "break w " + Hex(brk.address);
}

void SimSession::setRegisterBreakpoints(const std::set<RegisterBreak>& breaks) {
    wantedRegisterBreaks_ = breaks;
    if (state_ == State::Stopped)
        syncRegisterBreaks();
}

void SimSession::setHitCounts(const std::map<uint32_t, int>& counts) {
    hitCounts_.clear();
    for (const auto& [address, count] : counts)
        if (count > 1)
            hitCounts_[address] = count;
}

void SimSession::syncRegisterBreaks() {
    if (wantedRegisterBreaks_ == registerBreaks_)
        return;
    // they change seldom: all go and the wanted ones are set again, numbered by gpsim
    for (int number : registerBreakNumbers_)
        send(QString("clear %1").arg(number));
    registerBreakNumbers_.clear();
    registerBreaks_ = wantedRegisterBreaks_;
    for (const RegisterBreak& brk : registerBreaks_)
        send(BreakCommand(brk));
    send("break", [this](const std::string& text) {
        for (const GpsimBreak& brk : ParseOtherBreaks(text))
            if (brk.kind == GpsimBreak::Kind::Register)
                registerBreakNumbers_.push_back(brk.number);
    });
}

// --- the end of a run -----------------------------------------------------------------------------------------

void SimSession::afterRun(const std::string& text) {
    liveTimer_->stop();
    bool look = std::exchange(liveInterrupt_, false);
    if (stopWanted_ || state_ != State::Running) {
        endRun();
        return;
    }
    interruptTimer_->stop();
    std::optional<uint64_t> cycleBreak = ParseCycleBreakHit(text);
    bool stale = StaleCycleBreak(text);
    bool sliceBreak = slice_ && cycleBreak == slice_;
    bool execution = text.find("Execution at") != std::string::npos;
    bool breakpoint = ParseRunEnd(text) == RunEnd::Breakpoint;
    look = look && !breakpoint && !cycleBreak;
    // a register's breakpoint stops the run; so does anything else that ended it but a look, the end of a
    // slice, a cycle break no longer wanted or a line's breakpoint (which may not be due yet)
    if ((breakpoint && !execution) || !(look || stale || sliceBreak || execution)) {
        endRun();
        return;
    }
    if (look) {
        applyPendingDrives();
        askStop(std::nullopt, Purpose::Live);  // what it shows, the place among it
    }
    auto pc = std::make_shared<std::optional<uint32_t>>();
    if (!look)
        send("x", [pc](const std::string& answer) {
            if (auto seen = ParseExamine(answer))
                *pc = seen->pc;
        });
    send("cycles", [this, pc, look, execution](const std::string& answer) {
        if (look)
            *pc = stop_.pc;
        goOnOrStop(*pc, ParseCycles(answer).value_or(0), execution);
    });
}

void SimSession::goOnOrStop(std::optional<uint32_t> pc, uint64_t now, bool execution) {
    if (stopWanted_ || state_ != State::Running) {
        endRun();
        return;
    }
    bool sliceEnded = slice_ && now > *slice_;  // a cycle break at N fires in the instruction that covers N
    if (sliceEnded)
        slice_.reset();  // gpsim drops a cycle break once it has stopped there
    // at a breakpoint, however the run came to stand there, it is a hit: gpsim's next run would pass it
    if (pc && wantedBreaks_.count(*pc)) {
        bool due = true;
        if (auto count = hitCounts_.find(*pc); count != hitCounts_.end() && temporaryBreak_ != pc)
            due = ++hits_[*pc] >= count->second;
        if (due) {
            endRun();
            return;
        }
    } else if (execution) {
        endRun();  // a breakpoint taken away during the run: gpsim stopped there still
        return;
    }
    applyPendingDrives();
    if (realTime_ && !slice_ && !sliceEnded) {
        // Real Time was switched on during the run: it keeps to the clock from here
        paceStart_ = now;
        paceClock_.start();
        lastLookMs_ = 0;
        paceSlice();
        return;
    }
    if (!realTime_ || !sliceEnded) {
        continueRun();
        return;
    }
    if (qint64 ms = paceClock_.elapsed(); liveMs_ > 0 && ms - lastLookMs_ >= liveMs_) {
        lastLookMs_ = ms;
        askStop(std::nullopt, Purpose::Live);
    }
    // the next slice begins when the wall clock has caught up with the program
    double dueMs = double(now - paceStart_) / cyclesPerSecond() * 1000.0;
    paceTimer_->start(std::max(0, int(dueMs - double(paceClock_.elapsed()))));
}

void SimSession::endRun() {
    paceTimer_->stop();
    interruptTimer_->stop();
    liveTimer_->stop();
    applyPendingDrives();  // asked for as the run ended: the stop shows them
    if (slice_)
        clearSlice([this] { askStop(std::nullopt); });
    else
        askStop(std::nullopt);
}

// --- real time -------------------------------------------------------------------------------------------------

void SimSession::setRealTime(bool on) {
    realTime_ = on;
}

bool SimSession::StaleCycleBreak(const std::string& text) {
    std::optional<uint64_t> cycle = ParseCycleBreakHit(text);
    return cycle && (!slice_ || *cycle != *slice_) && staleCycleBreaks_.erase(*cycle) > 0;
}

void SimSession::paceSlice() {
    if (state_ != State::Running || stopWanted_) {
        endRun();
        return;
    }
    double ahead = paceClock_.nsecsElapsed() / 1e9 + kSliceSeconds;
    slice_ = paceStart_ + uint64_t(ahead * cyclesPerSecond());
    send(QString("break c %1").arg(*slice_));
    continueRun();
}

void SimSession::clearSlice(std::function<void()> then) {
    // a run that ended before its slice did leaves the slice's cycle break set in gpsim
    uint64_t cycle = *slice_;
    slice_.reset();
    send("break", [this, cycle, then](const std::string& text) {
        for (const GpsimBreak& brk : ParseOtherBreaks(text))
            if (brk.kind == GpsimBreak::Kind::Cycle && brk.cycle == cycle)
                send(QString("clear %1").arg(brk.number));
        staleCycleBreaks_.insert(cycle);
        then();
    });
}
