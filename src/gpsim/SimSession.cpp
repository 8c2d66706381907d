// SPDX-License-Identifier: GPL-3.0-or-later
// The gpsim process and its conversation: commands out, prompt-delimited answers in.
#include "gpsim/SimSession.h"
#include "platform/ChildProcess.h"
#include "platform/RegularFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <algorithm>
#include <memory>

#include <signal.h>
#include <sys/stat.h>

namespace {

constexpr int kQuitGraceMs = 2000;  // gpsim asked to quit is killed after this
constexpr int kMaxStack = 8;
constexpr int kInterruptAgainMs = 250;
constexpr int kWaitingMs = 2000;   // a command unanswered this long: "Waiting for gpsim..."
constexpr int kSilentMs = 15000;   // no byte at all this long: gpsim is taken for hung
constexpr qint64 kMaxHeaderBytes = 4 * 1024 * 1024;
constexpr qint64 kMaxSourceBytes = 64 * 1024 * 1024;

QString Hex(uint32_t value) {
    return "0x" + QString::number(value, 16);
}

}  // namespace

namespace {

// Every source the program was built from, as full paths: the listed ones and all the .cod names, include
// files outside the project and the processor header among them.
QStringList ProgramSources(const QString& codPath, const CodFile& cod) {
    QStringList all;
    std::string folder = QFileInfo(codPath).absolutePath().toStdString() + "/";
    for (int i = 0; i < int(cod.sources.size()); ++i)
        all << QString::fromStdString(cod.SourcePath(folder, i));
    return all;
}

// gpsim reads every source the .cod names when it loads it, and waits for good on a FIFO or reads a device
// without end: such a source, or one past any real source's size, is named before gpsim starts. Looked at
// with stat alone, which never blocks.
QString OddSource(const QString& codPath, const CodFile& cod) {
    for (const QString& source : ProgramSources(codPath, cod)) {
        struct stat info {};
        if (::stat(QFile::encodeName(source).constData(), &info) != 0)
            continue;  // a missing source leaves its lines unshown, nothing worse
        if (!S_ISREG(info.st_mode))
            return QString("the source %1 is not a regular file.").arg(source);
        if (info.st_size > kMaxSourceBytes)
            return QString("the source %1 is larger than %2 MB.").arg(source).arg(kMaxSourceBytes >> 20);
    }
    return {};
}

bool AnyNewer(const QStringList& sources, const QDateTime& built) {
    for (const QString& source : sources) {
        QFileInfo info(source);
        if (info.isFile() && info.lastModified() > built)
            return true;
    }
    return false;
}

// The first line of an answer, cut for a message.
QString FirstLine(const std::string& text) {
    std::string_view rest(text);
    while (!rest.empty() && (rest.front() == '\n' || rest.front() == '\r'))
        rest.remove_prefix(1);
    std::string_view line = rest.substr(0, std::min(rest.find_first_of("\r\n"), size_t(120)));
    return line.empty() ? QString("(nothing)") : "\"" + QString::fromUtf8(line.data(), qsizetype(line.size())) + "\"";
}

}  // namespace

bool CodOutOfDate(const QString& codPath, const std::optional<CodFile>& cod, const QStringList& sources) {
    QFileInfo info(codPath);
    if (!info.isFile() || !cod)
        return true;
    QDateTime built = info.lastModified();
    return AnyNewer(sources, built) || AnyNewer(ProgramSources(codPath, *cod), built);
}

SimSession::SimSession(QObject* parent)
    : QObject(parent),
      liveTimer_(new QTimer(this)),
      killTimer_(new QTimer(this)),
      interruptTimer_(new QTimer(this)),
      waitingTimer_(new QTimer(this)),
      silenceTimer_(new QTimer(this)),
      paceTimer_(new QTimer(this)) {
    paceTimer_->setSingleShot(true);
    connect(paceTimer_, &QTimer::timeout, this, &SimSession::paceSlice);
    // a run is interrupted for a moment now and then: what it holds is read, and it goes on
    connect(liveTimer_, &QTimer::timeout, this, [this] {
        if (state_ != State::Running || stopWanted_ || !process_ || process_->processId() <= 0)
            return;
        liveInterrupt_ = true;
        ::kill(pid_t(process_->processId()), SIGINT);
    });
    waitingTimer_->setSingleShot(true);
    waitingTimer_->setInterval(kWaitingMs);
    connect(waitingTimer_, &QTimer::timeout, this, [this] {
        waitingShown_ = true;
        emit waiting(true);
    });
    silenceTimer_->setSingleShot(true);
    silenceTimer_->setInterval(kSilentMs);
    connect(silenceTimer_, &QTimer::timeout, this, [this] {
        fail(QString("gpsim has not answered for %1 s; the simulation was ended.")
                 .arg(silenceTimer_->interval() / 1000.0));
    });
    // a Ctrl+C that reaches gpsim before it has begun the run finds it waiting and is lost: another follows
    interruptTimer_->setInterval(kInterruptAgainMs);
    connect(interruptTimer_, &QTimer::timeout, this, &SimSession::interrupt);
    killTimer_->setSingleShot(true);
    connect(killTimer_, &QTimer::timeout, this, [this] {
        if (process_)
            process_->kill();
    });
}

SimSession::~SimSession() {
    blockSignals(true);  // no one hears a session that is going away
    endNow(500);
}

void SimSession::setState(State state) {
    if (state_ == state)
        return;
    if (state != State::Running) {
        interruptTimer_->stop();
        liveTimer_->stop();
    }
    state_ = state;
    watchAnswers();
    emit stateChanged(state);
}

void SimSession::setAnswerBounds(int waitingMs, int silentMs) {
    waitingTimer_->setInterval(waitingMs);
    silenceTimer_->setInterval(silentMs);
}

void SimSession::watchAnswers() {
    // a run answers when it stops, which may be never: only commands outside a run are timed
    bool awaited = process_ && !handlers_.empty() && state_ != State::Running && state_ != State::Idle &&
                   state_ != State::Ending;
    if (!awaited) {
        waitingTimer_->stop();
        silenceTimer_->stop();
        if (std::exchange(waitingShown_, false))
            emit waiting(false);
        return;
    }
    if (!waitingTimer_->isActive() && !waitingShown_)
        waitingTimer_->start();
    if (!silenceTimer_->isActive())
        silenceTimer_->start();
}

void SimSession::start(const QString& codPath, std::optional<CodFile> cod) {
    if (active())
        return;
    failedOnce_ = false;
    codPath_ = QFileInfo(codPath).absoluteFilePath();
    folder_ = QFileInfo(codPath_).absolutePath() + "/";
    setState(State::Starting);
    load(std::move(cod));
}

void SimSession::restart(const QString& codPath, std::optional<CodFile> cod) {
    if (!active()) {
        start(codPath, std::move(cod));
        return;
    }
    // the old gpsim goes without a word: the session goes on with the new program, the pins driven as they
    // were, as switches on a board stay where they are when the chip is programmed again
    std::map<PinName, Level> driven = levels_;
    finishEnd(Announce::No);
    start(codPath, std::move(cod));
    if (state_ == State::Starting)
        levelsAtReset_ = std::move(driven);
}

bool SimSession::programChanged() const {
    if (!cod_ || state_ == State::Idle)
        return false;
    QFileInfo cod(codPath_);
    return cod.lastModified() != codTime_ || AnyNewer(ProgramSources(codPath_, *cod_), codTime_);
}

void SimSession::load(std::optional<CodFile> cod) {
    // the time first: a build that writes the .cod while it is read counts as a change
    codTime_ = QFileInfo(codPath_).lastModified();
    if (!QFileInfo::exists(codPath_)) {
        fail(QString("The program file %1 was not found; build the project first.").arg(codPath_));
        return;
    }
    std::string error;
    cod_ = cod ? std::move(cod) : CodFile::Load(codPath_.toStdString(), error);
    if (!cod_) {
        fail(QString("%1 cannot be simulated: %2").arg(codPath_, QString::fromStdString(error)));
        return;
    }
    if (QString odd = OddSource(codPath_, *cod_); !odd.isEmpty()) {
        fail(QString("%1 cannot be simulated: %2").arg(codPath_, odd));
        return;
    }
    readHeaderNames();
    registers_ = ProgramRegisters(*cod_, headerNames_, 0x200);
    conversation_ = GpsimConversation();
    handlers_.clear();
    breaks_.clear();
    stackDepth_ = 0;
    clockHz_ = 0;
    stopwatchZero_ = 0;
    eeprom_ = Eeprom::Unknown;
    history_.clear();
    powerOn_.reset();
    cycleOffset_ = resetAt_ = 0;
    resetting_ = false;
    temporaryBreak_.reset();
    registerBreaks_.clear();  // a new gpsim has none set
    registerBreakNumbers_.clear();
    hits_.clear();
    // a new gpsim has no pin driven: a restart drives them again once the program is loaded
    levels_.clear();
    levelsAtReset_.clear();
    drives_.clear();
    pendingDrives_.clear();
    wired_.clear();
    modulesLoaded_ = false;
    slice_.reset();
    staleCycleBreaks_.clear();
    programMemory_.clear();
    addressBreaks_.clear();  // an address of the old program means nothing in the new one
    previous_.reset();
    haveStop_ = false;
    process_ = new QProcess(this);
    process_->setWorkingDirectory(folder_);
    process_->setProcessChannelMode(QProcess::MergedChannels);
    process_->setChildProcessModifier(&EndWithParent);
    connect(process_, &QProcess::readyReadStandardOutput, this, &SimSession::readOutput);
    connect(process_, &QProcess::finished, this, &SimSession::processFinished);
    connect(process_, &QProcess::errorOccurred, this, &SimSession::processError);
    process_->start(program_, {"-i"});
    send("processor list", [this](const std::string& text) { afterProcessors(text); });
}

void SimSession::readHeaderNames() {
    // a source outside the program's folder given with a full path is the assembler's processor header
    headerNames_.clear();
    specialRegisters_.clear();
    for (const std::string& source : cod_->sources) {
        if (!source.starts_with("/") || QString::fromStdString(source).startsWith(folder_))
            continue;
        std::string why;
        std::optional<std::string> text = ReadRegularFile(source, kMaxHeaderBytes, why);
        if (!text) {
            // without the header the program's own names are not told from the processor's: the run goes on
            emit note(QString("The register names of %1 were not read: it %2.")
                          .arg(QString::fromStdString(source),
                               QString::fromStdString(why.starts_with("is ") ? why.substr(3) : "cannot be read: " + why)));
            continue;
        }
        std::vector<std::string> names = HeaderNames(*text);
        headerNames_.insert(headerNames_.end(), names.begin(), names.end());
        if (specialRegisters_.empty())
            specialRegisters_ = ReadSpecialRegisters(*text);
    }
    std::sort(headerNames_.begin(), headerNames_.end());
}

void SimSession::send(const QString& command, Handler handler) {
    if (!process_)
        return;
    conversation_.Sent(command.toStdString());
    handlers_.push_back(std::move(handler));
    process_->write((command + "\n").toUtf8());
    watchAnswers();
}

void SimSession::unreadable(const std::string& command, const std::string& text) {
    fail(QString("gpsim's answer to \"%1\" could not be read: %2")
             .arg(QString::fromStdString(command), FirstLine(text)));
}

void SimSession::readOutput() {
    if (!process_)
        return;
    QByteArray bytes = process_->readAllStandardOutput();
    if (silenceTimer_->isActive())
        silenceTimer_->start();  // a byte: gpsim is alive
    QProcess* current = process_;
    for (const GpsimConversation::Answer& answer :
         conversation_.Feed(std::string_view(bytes.constData(), size_t(bytes.size())))) {
        if (handlers_.empty())
            break;
        Handler handler = std::move(handlers_.front());
        handlers_.pop_front();
        if (handler)
            handler(answer.text);
        if (process_ != current || state_ == State::Idle || state_ == State::Ending)
            return;  // the handler ended or restarted the session
    }
    if (conversation_.overflowed()) {
        fail(QString("gpsim printed more than %1 MB without finishing its answer; the simulation was ended.")
                 .arg(kMaxGpsimAnswer / (1024 * 1024)));
        return;
    }
    conversation_.TakeLoose();
    watchAnswers();
}

void SimSession::afterProcessors(const std::string& text) {
    bool substituted = false;
    std::vector<std::string> known = ParseProcessorList(text);
    if (known.empty()) {
        unreadable("processor list", text);
        return;
    }
    std::string part = GpsimPart(cod_->processor, known, substituted);
    // a part gpsim lacks runs on the stand-in the project names, when gpsim has that one
    if ((substituted || part.empty()) && !standIn_.empty()) {
        bool alsoSubstituted = false;
        if (std::string chosen = GpsimPart(standIn_, known, alsoSubstituted); !chosen.empty()) {
            part = chosen;
            substituted = true;
        }
    }
    QString wanted = QString::fromStdString(cod_->processor).toUpper();
    if (part.empty()) {
        fail(QString("gpsim cannot simulate the PIC%1, and knows no compatible processor.").arg(wanted));
        return;
    }
    QString name = QFileInfo(codPath_).fileName();
    if (substituted) {
        QString stand = QString::fromStdString(part).mid(3).toUpper();
        emit note(
            QString("gpsim has no PIC%1; the program runs on the compatible PIC%2.").arg(wanted, stand));
        send("processor " + QString::fromStdString(part));
    }
    send("load " + name, [this](const std::string& answer) { afterLoad(answer); });
}

void SimSession::afterLoad(const std::string& text) {
    std::string failure = LoadFailure(text);
    if (!failure.empty()) {
        fail(QString("gpsim could not load %1: %2").arg(codPath_, QString::fromStdString(failure)));
        return;
    }
    if (clock_ > 0)
        send(QString("frequency %1").arg(clock_, 0, 'f', 0));
    send("frequency", [this](const std::string& answer) { clockHz_ = ParseFrequency(answer).value_or(0); });
    // program memory changes only with a new program: read once, with the words gpasm did not fill
    send("romData", [this](const std::string& answer) { programMemory_ = ParseProgramMemory(answer); });
    // a cycle break far beyond any run takes gpsim's number 0, which its list does not always show and
    // "clear 0" does not remove: every break Korvex sets can then be cleared by its number
    send("break c 1000000000000000");
    for (const auto& [pin, level] : levelsAtReset_)
        if (level != Level::Floating) {
            levels_[pin] = level;
            sendLevel(pin, level);
        }
    askStop(0);
}

void SimSession::askStop(std::optional<int> stackDepth, Purpose purpose) {
    syncBreakpoints();
    auto examine = std::make_shared<std::optional<GpsimExamine>>();
    auto seenText = std::make_shared<std::string>();
    send("x", [examine, seenText](const std::string& text) {
        *examine = ParseExamine(text);
        if (!*examine)
            *seenText = text;
    });
    auto eeprom = std::make_shared<std::vector<int>>();
    if (eeprom_ != Eeprom::Absent)
        send("dump e", [this, eeprom](const std::string& text) {
            *eeprom = ParseDump(text);
            eeprom_ = eeprom->empty() ? Eeprom::Absent : Eeprom::Present;
        });
    send("cycles", [this, examine, stackDepth, seenText, eeprom, purpose](const std::string& text) {
        if (!*examine) {
            unreadable("x", *seenText);
            return;
        }
        const GpsimExamine& seen = **examine;
        stackDepth_ = stackDepth ? std::optional<int>(std::clamp(*stackDepth, 0, kMaxStack)) : std::nullopt;
        if (haveStop_)
            previous_ = stop_;
        haveStop_ = true;
        stop_ = SimStop();
        stop_.pc = seen.pc;
        uint64_t raw = ParseCycles(text).value_or(0);
        stop_.cycles = raw >= cycleOffset_ ? raw - cycleOffset_ : 0;
        // gpsim's count never goes back: a stale cycle break behind it is met no more
        staleCycleBreaks_.erase(staleCycleBreaks_.begin(), staleCycleBreaks_.lower_bound(raw));
        bool look = purpose == Purpose::Live;
        if (!look)
            Remember(stop_.cycles);
        // gpsim's cycle count goes on through a reset: the stopwatch starts again at the reset's stop
        if (std::exchange(zeroAtStop_, false) || stop_.cycles < stopwatchZero_)
            stopwatchZero_ = stop_.cycles;
        stop_.stopwatch = stop_.cycles - stopwatchZero_;
        stop_.W = seen.W;
        stop_.status = seen.Register(3);
        stop_.stackDepth = stackDepth_;
        stop_.clockHz = clockHz_;
        stop_.memory = seen.memory;
        stop_.eeprom = std::move(*eeprom);
        if (auto line = cod_->LineOfAddress(seen.pc)) {
            stop_.file = QString::fromStdString(cod_->SourcePath(folder_.toStdString(), line->file));
            stop_.line = line->line;
        }
        if (look) {
            // the run went on as soon as this was asked for: the look says what it saw, and the run's own
            // end (a breakpoint, Stop) is the stop
            if (!stopWanted_ && state_ == State::Running)
                emit live(stop_);
            return;
        }
        if (!powerOn_)
            powerOn_ = stop_;  // the program as loaded, for a step back
        setState(State::Stopped);
        if (std::exchange(temporaryBreak_, std::nullopt)) {
            wantedBreaks_ = lineBreaks_;
            wantedBreaks_.insert(addressBreaks_.begin(), addressBreaks_.end());
            syncBreakpoints();
        }
        emit stopped(stop_);
    });
}

std::optional<uint32_t> SimSession::AddressOf(const CodFile& cod, const QString& codFolder,
                                              const SourceLine& line) {
    QString folder = codFolder.endsWith('/') ? codFolder : codFolder + "/";
    int file = cod.SourceIndex(folder.toStdString(), QDir::cleanPath(line.first).toStdString());
    return file < 0 ? std::nullopt : cod.AddressOfLine(file, line.second);
}

void SimSession::setBreakpoints(const std::set<SourceLine>& lines) {
    lineBreaks_.clear();
    if (cod_)
        for (const SourceLine& line : lines)
            if (auto address = AddressOf(*cod_, folder_, line))
                lineBreaks_.insert(*address);
    wantedBreaks_ = lineBreaks_;
    wantedBreaks_.insert(addressBreaks_.begin(), addressBreaks_.end());
    if (state_ == State::Stopped)
        syncBreakpoints();
}

void SimSession::setAddressBreakpoints(const std::set<uint32_t>& addresses) {
    addressBreaks_ = addresses;
    wantedBreaks_ = lineBreaks_;
    wantedBreaks_.insert(addressBreaks_.begin(), addressBreaks_.end());
    if (state_ == State::Stopped)
        syncBreakpoints();
}

void SimSession::syncBreakpoints() {
    bool changed = false;
    for (const auto& [address, number] : breaks_)
        if (!wantedBreaks_.count(address)) {
            send(QString("clear %1").arg(number));
            changed = true;
        }
    for (uint32_t address : wantedBreaks_)
        if (!breaks_.count(address)) {
            // gpsim sets none on a word the program did not fill
            send("break e " + Hex(address), [this, address](const std::string& text) {
                if (text.find("cannot be set") == std::string::npos)
                    return;
                addressBreaks_.erase(address);
                wantedBreaks_ = lineBreaks_;
                wantedBreaks_.insert(addressBreaks_.begin(), addressBreaks_.end());
                emit breakpointRefused(address);
            });
            changed = true;
        }
    // gpsim numbers its breakpoints itself: read them back
    if (changed)
        send("break", [this](const std::string& text) { breaks_ = ParseBreakList(text); });
    syncRegisterBreaks();
}

void SimSession::stepInto() {
    if (state_ != State::Stopped)
        return;
    int effect = StackEffect(cod_->WordAt(stop_.pc).value_or(0));
    setState(State::Stepping);
    send("step");
    askStop(stackDepth_ ? std::optional<int>(*stackDepth_ + effect) : std::nullopt);
}

void SimSession::stepOver() {
    if (state_ != State::Stopped)
        return;
    if (StackEffect(cod_->WordAt(stop_.pc).value_or(0)) != 1) {
        stepInto();
        return;
    }
    // the subroutine may never return: this is a run that Stop can end
    stopWanted_ = false;
    setState(State::Running);
    std::optional<int> depth = stackDepth_;
    uint32_t after = stop_.pc + 1;
    send("step over", [this, depth, after](const std::string& text) {
        interruptTimer_->stop();
        applyPendingDrives();  // asked for while it ran
        // gpsim ends a step over at its own breakpoint after the call; stopped anywhere else (a breakpoint
        // inside the routine, Ctrl+C), the program is deeper than it was, by how much unknown
        bool returned = ParseRunEnd(text) != RunEnd::Interrupted &&
                        (text.find("Execution at") == std::string::npos || ParseBreakList(text).count(after));
        std::optional<int> stackDepth = returned ? depth : std::nullopt;
        bool stale = !stopWanted_ && StaleCycleBreak(text);
        bool execution = text.find("Execution at") != std::string::npos;
        if (!stale && (stopWanted_ || !execution || hitCounts_.empty())) {
            askStop(stackDepth);
            return;
        }
        // cut short by a break no longer wanted, or by a line's hit not yet due: on to the instruction after
        // the call
        send("x", [this, stale, after, stackDepth](const std::string& answer) {
            std::optional<GpsimExamine> seen = ParseExamine(answer);
            bool goOn = stale;
            if (seen && !stale)
                if (auto count = hitCounts_.find(seen->pc); count != hitCounts_.end())
                    goOn = ++hits_[seen->pc] < count->second;
            if (!goOn || stopWanted_) {
                askStop(stackDepth);
                return;
            }
            temporaryBreak_ = after;
            wantedBreaks_.insert(after);
            syncBreakpoints();
            continueRun();
        });
    });
}

void SimSession::run() {
    if (state_ != State::Stopped)
        return;
    stopWanted_ = false;
    setState(State::Running);
    if (!realTime_) {
        continueRun();
        return;
    }
    // a run in real time goes in slices, each let go when the wall clock has caught up with the one before
    send("cycles", [this](const std::string& text) {
        paceStart_ = ParseCycles(text).value_or(stop_.cycles + cycleOffset_);
        paceClock_.start();
        lastLookMs_ = 0;
        paceSlice();
    });
}

void SimSession::continueRun() {
    liveInterrupt_ = false;
    if (liveMs_ > 0 && !slice_)
        liveTimer_->start(liveMs_);  // a run in slices is looked at between them
    send("run", [this](const std::string& text) { afterRun(text); });
}

void SimSession::stop() {
    if (state_ != State::Running)
        return;
    stopWanted_ = true;
    liveTimer_->stop();
    if (paceTimer_->isActive()) {
        endRun();  // between the slices of a real-time run gpsim is not running
        return;
    }
    interrupt();
    interruptTimer_->start();
}

void SimSession::interrupt() {
    if (state_ == State::Running && process_ && process_->processId() > 0)
        ::kill(pid_t(process_->processId()), SIGINT);
    else
        interruptTimer_->stop();
}

void SimSession::writeRegister(uint32_t address, int value) {
    if (state_ != State::Stopped || value < 0 || value > 0xFF)
        return;
    setState(State::Stepping);
    send(QString("reg(0x%1) = 0x%2").arg(address, 0, 16).arg(value, 0, 16));
    askStop(stackDepth_);
}

void SimSession::writeEeprom(uint32_t address, int value) {
    if (state_ != State::Stopped || value < 0 || value > 0xFF || address >= stop_.eeprom.size())
        return;
    setState(State::Stepping);
    send(QString("eeData[%1] = %2").arg(address).arg(value));
    askStop(stackDepth_);
}

void SimSession::zeroStopwatch() {
    stopwatchZero_ = stop_.cycles;
    stop_.stopwatch = 0;
}

void SimSession::reset() {
    if (state_ != State::Stopped)
        return;
    zeroAtStop_ = true;
    resetting_ = true;
    setState(State::Stepping);
    send("reset");
    askStop(0);
}

void SimSession::end() {
    if (state_ == State::Idle || state_ == State::Ending)
        return;
    // a gpsim that runs, or has not answered for a while, reads no commands: it is not asked to quit
    bool deaf = state_ == State::Running || waitingShown_;
    setState(State::Ending);
    if (!process_ || process_->state() == QProcess::NotRunning) {
        finishEnd();
        return;
    }
    if (deaf) {
        // a running gpsim reads no commands, and a Ctrl+C may come before the run has begun: it holds
        // nothing to save, so it goes at once
        process_->kill();
        return;
    }
    process_->write("quit\n");
    killTimer_->start(kQuitGraceMs);
}

void SimSession::endNow(int boundMs) {
    end();
    if (process_ && process_->state() != QProcess::NotRunning && !process_->waitForFinished(boundMs)) {
        process_->kill();
        process_->waitForFinished(200);
    }
    if (state_ != State::Idle)
        finishEnd();
}

void SimSession::processFinished() {
    if (state_ == State::Ending) {
        finishEnd();
        return;
    }
    if (state_ != State::Idle && process_) {
        fail(process_->exitStatus() == QProcess::CrashExit
                 ? QString("gpsim ended unexpectedly (it crashed).")
                 : QString("gpsim ended unexpectedly (exit status %1).").arg(process_->exitCode()));
    }
}

void SimSession::processError(QProcess::ProcessError error) {
    if (error == QProcess::FailedToStart)
        fail(QString(
                 "gpsim could not be started (%1). Install it with scripts/bootstrap (Debian package gpsim).")
                 .arg(program_));
}

void SimSession::fail(const QString& text) {
    if (state_ == State::Idle || failedOnce_)
        return;
    failedOnce_ = true;
    // gpsim is gone before the message shows: nothing runs on behind a box the user is reading
    setState(State::Ending);
    dropProcess();
    emit failed(text);
    finishEnd(Announce::Yes);
}

void SimSession::dropProcess() {
    killTimer_->stop();
    if (!process_)
        return;
    QProcess* process = process_;
    process->disconnect(this);
    if (process->state() == QProcess::NotRunning) {
        process->deleteLater();
    } else {
        // gone once the kill is through; the session does not wait for that
        connect(process, &QProcess::finished, process, &QObject::deleteLater);
        process->kill();
    }
    process_ = nullptr;
}

void SimSession::finishEnd() {
    finishEnd(Announce::Yes);
}

void SimSession::finishEnd(Announce announce) {
    paceTimer_->stop();
    dropProcess();
    handlers_.clear();
    breaks_.clear();
    if (state_ == State::Idle)
        return;
    if (announce == Announce::No) {
        // quietly: the caller starts again at once
        state_ = State::Idle;
        watchAnswers();
        return;
    }
    setState(State::Idle);
    emit ended();
}
