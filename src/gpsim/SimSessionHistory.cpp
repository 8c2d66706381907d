// SPDX-License-Identifier: GPL-3.0-or-later
// Going back: the stops since the last reset are remembered, and a step back is a reset and a run to the
// stop before, meeting every pin the user drove at the cycle it was driven. A run is deterministic.
#include "gpsim/SimSession.h"

#include <algorithm>

namespace {

// The cycles an instruction at the reset vector takes: two for one that changes the PC, else one.
uint64_t FirstCycles(uint16_t word) {
    bool jump = (word & 0x3000) == 0x2000 || (word & 0x3C00) == 0x3400 || word == 0x0008 || word == 0x0009;
    return jump ? 2 : 1;
}

}  // namespace

void SimSession::Remember(uint64_t cycles) {
    if (std::exchange(resetting_, false)) {
        history_.clear();
        resetAt_ = cycles;
        hits_.clear();
        // the pins stay driven as they are: from here a step back starts with them
        levelsAtReset_ = levels_;
        drives_.clear();
    }
    if (history_.empty() || history_.back().cycles != cycles)
        history_.push_back({cycles, stackDepth_, hits_});
    else {
        history_.back().stackDepth = stackDepth_;
        history_.back().hits = hits_;
    }
    if (history_.size() > kMaxHistory)
        history_.erase(history_.begin() + 1);  // the reset's own stop stays
}

void SimSession::runTo(uint32_t address) {
    if (state_ != State::Stopped)
        return;
    temporaryBreak_ = address;
    wantedBreaks_.insert(address);
    syncBreakpoints();
    run();
}

bool SimSession::stepBack() {
    if (state_ != State::Stopped || history_.size() < 2 || !powerOn_)
        return false;
    history_.pop_back();
    Past target = history_.back();
    history_.pop_back();  // the stop it comes to is remembered again
    uint64_t raw = stop_.cycles + cycleOffset_;
    setState(State::Stepping);
    // the run to the stop gone back to meets no breakpoint: they are set again at that stop
    for (const auto& [address, number] : breaks_)
        send(QString("clear %1").arg(number));
    breaks_.clear();
    for (int number : registerBreakNumbers_)
        send(QString("clear %1").arg(number));
    registerBreakNumbers_.clear();
    registerBreaks_.clear();
    send("reset");
    // the reset happens at gpsim's count `raw`: from there the cycles shown start again at resetAt_
    cycleOffset_ = raw - resetAt_;
    hits_ = target.hits;
    // what the user drove after the stop gone back to is undone with the steps it came before
    std::erase_if(drives_, [&](const Drive& drive) { return drive.cycles > target.cycles; });
    restorePowerOn([this, target] {
        levels_ = levelsAtReset_;
        for (const PinName& pin : wired_)
            sendLevel(pin, pinLevel(pin));
        size_t next = 0;
        for (; next < drives_.size() && drives_[next].cycles <= resetAt_; ++next) {
            levels_[drives_[next].pin] = drives_[next].level;
            sendLevel(drives_[next].pin, drives_[next].level);
        }
        if (target.cycles <= resetAt_) {
            askStop(target.stackDepth);
            return;
        }
        // gpsim counts the first instruction after its reset a cycle short: it is stepped, and the count shown
        // set from there; every instruction after it counts as it did
        uint64_t first = resetAt_ + FirstCycles(cod_->WordAt(0).value_or(0));
        stepToFirst(first, [this, target, next, first] { replayTo(target.cycles, target.stackDepth, next, first); });
    });
    return true;
}

void SimSession::replayTo(uint64_t goal, std::optional<int> stackDepth, size_t next, uint64_t now) {
    // the next drive on the way, else the goal; each is reached from the one before
    bool drive = next < drives_.size();
    uint64_t at = drive ? drives_[next].cycles : goal;
    auto then = [this, goal, stackDepth, next, drive, at = std::max(at, now)] {
        if (!drive) {
            askStop(stackDepth);
            return;
        }
        const Drive& done = drives_[next];
        levels_[done.pin] = done.level;
        sendLevel(done.pin, done.level);
        replayTo(goal, stackDepth, next + 1, at);
    };
    if (at <= now)
        then();
    else
        runUntil(cycleOffset_ + now, cycleOffset_ + at, then);
}

void SimSession::restorePowerOn(std::function<void()> then) {
    // a reset keeps what the file registers and the EEPROM held (and says so in STATUS): they are given
    // their values at power-on again, so the run after it is the run the user stepped through
    send("x", [this, then](const std::string& text) {
        std::optional<GpsimExamine> now = ParseExamine(text);
        if (!now) {
            unreadable("x", text);
            return;
        }
        if (now->W != powerOn_->W)
            send(QString("W = 0x%1").arg(powerOn_->W, 0, 16));
        for (size_t address = 0; address < powerOn_->memory.size() && address < now->memory.size(); ++address)
            if (int value = powerOn_->memory[address]; value >= 0 && now->memory[address] >= 0 && now->memory[address] != value)
                send(QString("reg(0x%1) = 0x%2").arg(address, 0, 16).arg(value, 0, 16));
        if (powerOn_->eeprom.empty()) {
            then();
            return;
        }
        send("dump e", [this, then](const std::string& dump) {
            std::vector<int> eeprom = ParseDump(dump);
            for (size_t address = 0; address < powerOn_->eeprom.size() && address < eeprom.size(); ++address)
                if (int value = powerOn_->eeprom[address]; value >= 0 && eeprom[address] != value)
                    send(QString("eeData[%1] = %2").arg(address).arg(value));
            then();
        });
    });
}

void SimSession::stepToFirst(uint64_t cycles, std::function<void()> then) {
    // gpsim counts the first instruction after its reset a cycle short: the count shown is set to the stop's
    send("step");
    send("cycles", [this, cycles, then](const std::string& text) {
        if (auto raw = ParseCycles(text); raw && *raw >= cycles)
            cycleOffset_ = *raw - cycles;
        then();
    });
}

void SimSession::runUntil(uint64_t from, uint64_t goal, std::function<void()> then, int rounds) {
    // "break c N" halts after the instruction under way when the count reaches N: the one that begins at N,
    // or, where N falls inside a two-cycle instruction, the one after it. A break two cycles short of the
    // goal never goes past it; steps go the rest of the way.
    auto onward = [this, goal, then, rounds](const std::string& text) {
        runUntil(ParseCycles(text).value_or(goal), goal, then, rounds + 1);
    };
    if (from >= goal || rounds > kMaxReplayRounds) {
        // a cycle break a breakpoint came before is left behind: it would stop a later run
        send("break", [this, goal, then](const std::string& text) {
            for (const GpsimBreak& brk : ParseOtherBreaks(text))
                if (brk.kind == GpsimBreak::Kind::Cycle && brk.cycle == goal - 2) {
                    send(QString("clear %1").arg(brk.number));
                    staleCycleBreaks_.insert(goal - 2);
                }
            then();
        });
        return;
    }
    if (goal - from <= 2) {
        send("step");
        send("cycles", onward);
        return;
    }
    if (rounds == 0)
        send(QString("break c %1").arg(goal - 2));
    send("run");  // a breakpoint on the way stops it first: it goes on
    send("cycles", onward);
}
