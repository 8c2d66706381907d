// SPDX-License-Identifier: GPL-3.0-or-later
// A simulation of the user's program on gpsim: owns the gpsim process and speaks its command-line
// protocol without blocking; says where the program stopped and what the registers hold.
#pragma once

#include "gpsim/CodFile.h"
#include "gpsim/GpsimAnswers.h"
#include "gpsim/ProcessorHeader.h"

#include <QObject>
#include <QDateTime>
#include <QElapsedTimer>
#include <QPointer>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <utility>
#include <vector>

class QTimer;

// Where the program stopped and what it holds there.
struct SimStop {
    uint32_t pc = 0;
    uint64_t cycles = 0;
    uint64_t stopwatch = 0;  // cycles since the stopwatch was zeroed (a reset zeroes it too)
    int W = 0;
    int status = 0;
    std::optional<int> stackDepth;  // unknown after a run: gpsim does not show its return stack
    double clockHz = 0;
    QString file;  // the source of the instruction at the PC, a full path; empty when none is known
    int line = 0;  // from 1
    std::vector<int> memory;  // the file registers by address, -1 where there is none
    std::vector<int> eeprom;  // the data EEPROM by address; empty for a part without one
    // The elapsed time at the clock: four clock periods per instruction cycle.
    double seconds() const { return clockHz > 0 ? double(cycles) * 4.0 / clockHz : 0; }
};

// True when the program must be built before it can be simulated: the .cod is missing, or one of the
// sources it names (`cod`, as read from it; none when it could not be read), or one of `sources`, is newer
// than it. Only file times are looked at: nothing is opened.
bool CodOutOfDate(const QString& codPath, const std::optional<CodFile>& cod, const QStringList& sources);

// A source line: a full path and a line number from 1.
using SourceLine = std::pair<QString, int>;

class SimSession : public QObject {
    Q_OBJECT
  public:
    enum class State { Idle, Starting, Stopped, Stepping, Running, Ending };
    Q_ENUM(State)

    explicit SimSession(QObject* parent = nullptr);
    // Ends gpsim: asked to quit, killed when it has not gone within a short bound.
    ~SimSession() override;

    // The gpsim program; "gpsim" on the PATH unless set.
    void setProgram(const QString& program) { program_ = program; }
    // The processor's clock, given to gpsim at each start; 0 leaves gpsim's own (20 MHz).
    void setClock(double hz) { clock_ = hz; }
    // The gpsim part for a processor gpsim lacks, tried before the compatible part it is known to have.
    void setStandIn(const std::string& part) { standIn_ = part; }
    // The stopwatch counts from the cycle of the last stop on.
    void zeroStopwatch();
    // Writes a register of the stopped program through gpsim, then reads the registers back (a stop).
    void writeRegister(uint32_t address, int value);
    // Writes a byte of the data EEPROM, then reads everything back (a stop).
    void writeEeprom(uint32_t address, int value);
    // Starts gpsim on the .cod file (`cod` is its content when the caller has read it already); the session
    // reports stopped() at the reset vector, or failed().
    void start(const QString& codPath, std::optional<CodFile> cod = std::nullopt);
    // Starts again on a new build of the program, without ending the session: the old gpsim goes at once.
    void restart(const QString& codPath, std::optional<CodFile> cod = std::nullopt);
    // True when the .cod was written again, or a source it names was saved, since the session started.
    bool programChanged() const;
    // How long a command may go unanswered before waiting(true), and without a byte from gpsim before the
    // session ends; outside a run only.
    void setAnswerBounds(int waitingMs, int silentMs);
    void stepInto();
    // A CALL runs until it returns; any other instruction is one step.
    void stepOver();
    // Runs until a breakpoint or stop().
    void run();
    // Runs until the program reaches `address` (or a breakpoint, or stop()).
    void runTo(uint32_t address);
    // Goes back to the stop before the last one: the program is reset and run to that stop's cycle (a run
    // is deterministic), with the stack depth it had. Each step back goes one stop further back, as far as
    // the last reset; stops are remembered up to kMaxHistory. True when there was a stop to go back to.
    bool stepBack();
    static constexpr size_t kMaxHistory = 100000;
    // How many stops back the program can go.
    size_t stepsBack() const { return history_.empty() ? 0 : history_.size() - 1; }
    // Interrupts a run or a step over, as Ctrl+C does.
    void stop();
    // How often a run is looked at (live()); 0: never. About ten times a second unless set.
    void setLiveInterval(int ms) { liveMs_ = ms; }
    void reset();
    // Ends the session; ended() follows once gpsim has gone.
    void end();
    // Ends gpsim at once, waiting at most `boundMs`: for when Korvex itself quits.
    void endNow(int boundMs = 1000);

    State state() const { return state_; }
    bool active() const { return state_ != State::Idle; }
    const SimStop& lastStop() const { return stop_; }
    // The stop before the last one in this session; none at the first.
    const std::optional<SimStop>& previousStop() const { return previous_; }
    // The program's own register names and addresses, from the .cod.
    const std::vector<CodSymbol>& programRegisters() const { return registers_; }
    // The part's special function registers with their bits, from its processor header.
    const std::vector<SpecialRegister>& specialRegisters() const { return specialRegisters_; }
    const std::optional<CodFile>& cod() const { return cod_; }
    // Every word of the part's program memory, read from gpsim once the program is loaded.
    const std::vector<uint16_t>& programMemory() const { return programMemory_; }
    QString codPath() const { return codPath_; }
    // gpsim's process id while it runs, else 0.
    qint64 processId() const { return process_ ? process_->processId() : 0; }

    // The breakpoints, as source lines; lines without code are left out. Set at any time: a running
    // program gets them at its next stop.
    void setBreakpoints(const std::set<SourceLine>& lines);
    // Breakpoints on program addresses, beside those on source lines (an address no line holds among them).
    void setAddressBreakpoints(const std::set<uint32_t>& addresses);
    // Every program address with a breakpoint, from lines and addresses.
    const std::set<uint32_t>& breakpointAddresses() const { return wantedBreaks_; }
    // The program address of a source line that holds an instruction, by the .cod.
    static std::optional<uint32_t> AddressOf(const CodFile& cod, const QString& codFolder,
                                             const SourceLine& line);

    // A register breakpoint: the run stops after an instruction writes the register, reads it, or writes it
    // so that it holds `value`.
    struct RegisterBreak {
        enum class Kind { Write, Read, Equals };
        Kind kind = Kind::Write;
        uint32_t address = 0;
        int value = 0;
        auto operator<=>(const RegisterBreak&) const = default;
    };
    // The gpsim command that sets it.
    static QString BreakCommand(const RegisterBreak& brk);
    // Set at any time, like the breakpoints on lines.
    void setRegisterBreakpoints(const std::set<RegisterBreak>& breaks);
    // Breakpoints on lines that stop only from their Nth hit on: program address -> N. A hit is a run
    // coming to the address; hits are counted from the last reset.
    void setHitCounts(const std::map<uint32_t, int>& counts);
    const std::map<uint32_t, int>& hits() const { return hits_; }

    // An input pin driven from outside, as a switch on the board would: high, low, or left floating as at
    // power-on. A pin is named by its port register and bit ("PORTB", 0).
    enum class Level { Floating, Low, High };
    using PinName = std::pair<QString, int>;
    // Drives a pin from now on. A stopped program reads it at once (a stop follows with the port read
    // again); a running one at its next look. A step back replays each drive at its cycle.
    void drivePin(const PinName& pin, Level level);
    Level pinLevel(const PinName& pin) const;
    // Every pin the user has driven in this session, with its level now.
    const std::map<PinName, Level>& drivenPins() const { return levels_; }

    // Real time: a run keeps to the clock, four clock periods an instruction cycle, paced in short slices.
    void setRealTime(bool on);
    bool realTime() const { return realTime_; }

  signals:
    void stateChanged(SimSession::State state);
    // The program stopped (after a step, a run, a reset or the start).
    void stopped(const SimStop& stop);
    // A look at a running program (lastStop() holds it); the run goes on.
    void live(const SimStop& now);
    // gpsim set no breakpoint at a program address (no instruction of the program is there); it is dropped.
    void breakpointRefused(uint32_t address);
    // A note for the user that ends nothing (a compatible processor stands in).
    void note(const QString& text);
    // gpsim has not answered a command for a while (true), or has answered at last (false).
    void waiting(bool waiting);
    // The session could not go on; ended() follows.
    void failed(const QString& text);
    void ended();

  private:
    using Handler = std::function<void(const std::string&)>;
    void send(const QString& command, Handler handler = {});
    void setState(State state);
    void readOutput();
    void processFinished();
    void processError(QProcess::ProcessError error);
    void fail(const QString& text);
    void interrupt();
    void afterProcessors(const std::string& text);
    void afterLoad(const std::string& text);
    // A live look during a run reads what a stop reads, says live() and lets the run go on.
    enum class Purpose { Stop, Live };
    void askStop(std::optional<int> stackDepth, Purpose purpose = Purpose::Stop);
    void continueRun();
    QTimer* liveTimer_;
    int liveMs_ = 100;
    bool liveInterrupt_ = false;  // the run was interrupted for a live look, not by the user
    bool stopWanted_ = false;     // the user asked the run to stop
    void syncBreakpoints();
    void readHeaderNames();
    void load(std::optional<CodFile> cod);
    void watchAnswers();
    void unreadable(const std::string& command, const std::string& text);
    enum class Announce { Yes, No };
    void dropProcess();
    void finishEnd();
    void finishEnd(Announce announce);

    QString program_ = "gpsim";
    double clock_ = 0;
    std::string standIn_;
    uint64_t stopwatchZero_ = 0;
    bool zeroAtStop_ = false;  // a reset zeroes the stopwatch at the stop it comes to
    QString codPath_;
    QString folder_;  // the .cod's folder, ending in "/"
    QPointer<QProcess> process_;
    QTimer* killTimer_;
    QTimer* interruptTimer_;  // repeats Ctrl+C until the run has ended
    QTimer* waitingTimer_;    // a command unanswered for a while: the user is told
    QTimer* silenceTimer_;    // no byte for much longer: the session ends
    bool waitingShown_ = false;
    QDateTime codTime_;       // the .cod's time when the session read it
    State state_ = State::Idle;
    GpsimConversation conversation_;
    std::deque<Handler> handlers_;
    std::optional<CodFile> cod_;
    std::vector<CodSymbol> registers_;
    std::vector<std::string> headerNames_;
    std::vector<SpecialRegister> specialRegisters_;
    SimStop stop_;
    std::optional<SimStop> previous_;
    bool haveStop_ = false;
    std::optional<int> stackDepth_ = 0;
    double clockHz_ = 0;
    std::set<uint32_t> wantedBreaks_;
    std::set<uint32_t> lineBreaks_;
    std::set<uint32_t> addressBreaks_;
    std::vector<uint16_t> programMemory_;
    std::optional<uint32_t> temporaryBreak_;  // Run to Cursor's, gone at the next stop
    struct Past {
        uint64_t cycles;
        std::optional<int> stackDepth;
        std::map<uint32_t, int> hits;
    };
    std::deque<Past> history_;  // the stops since the last reset, the reset's first
    uint64_t cycleOffset_ = 0;  // gpsim's count runs on through the resets of a step back: the cycles shown do not
    uint64_t resetAt_ = 0;      // the cycles shown at the last reset
    bool resetting_ = false;    // a reset by the user: the history starts again at its stop
    // Runs from gpsim's count `from` to `goal`, past any breakpoint, then `then`.
    void runUntil(uint64_t from, uint64_t goal, std::function<void()> then, int rounds = 0);
    static constexpr int kMaxReplayRounds = 100000;
    void Remember(uint64_t cycles);
    // The first instruction after a reset, shown at `cycles`.
    void stepToFirst(uint64_t cycles, std::function<void()> then);
    // Gives the file registers and the EEPROM their values at power-on after a reset, then `then`.
    void restorePowerOn(std::function<void()> then);
    std::optional<SimStop> powerOn_;  // the first stop after the program was loaded
    std::map<uint32_t, int> breaks_;  // set in gpsim: address -> its number
    void syncRegisterBreaks();
    std::set<RegisterBreak> wantedRegisterBreaks_, registerBreaks_;
    std::vector<int> registerBreakNumbers_;  // gpsim's numbers of registerBreaks_
    std::map<uint32_t, int> hitCounts_;      // address -> the hit it stops at
    std::map<uint32_t, int> hits_;           // address -> hits since the last reset
    // The end of a run: a breakpoint's hit that is not yet due, or a slice of a real-time run, lets it go on.
    void afterRun(const std::string& text);
    // Where a run that may go on stands (its PC, none when unknown, and gpsim's count): a breakpoint there
    // that is due, or the user's Stop, ends it; else it goes on, in real time after a wait for the clock.
    void goOnOrStop(std::optional<uint32_t> pc, uint64_t now, bool execution);
    void endRun();
    // Pins.
    static QString GpsimPin(const PinName& pin);
    void sendLevel(const PinName& pin, Level level);
    std::map<PinName, Level> levels_;          // what drives each pin now
    std::map<PinName, Level> levelsAtReset_;   // ... at the last reset, where a step back starts from
    struct Drive {
        uint64_t cycles;  // as shown
        PinName pin;
        Level level;
    };
    std::vector<Drive> drives_;  // since the last reset, in order
    std::vector<std::pair<PinName, Level>> pendingDrives_;  // asked for while the program ran
    std::set<PinName> wired_;    // pins with a node and a resistor in gpsim
    bool modulesLoaded_ = false;
    void applyPendingDrives();
    // Replays the drives from `next` on, from the count shown `now`, up to `goal`, and stops there.
    void replayTo(uint64_t goal, std::optional<int> stackDepth, size_t next, uint64_t now);
    // Real time.
    bool realTime_ = false;
    QElapsedTimer paceClock_;
    uint64_t paceStart_ = 0;        // gpsim's count when the paced run began
    std::optional<uint64_t> slice_; // the cycle break ending the slice under way
    qint64 lastLookMs_ = 0;
    QTimer* paceTimer_;             // waits for the wall clock to catch up with the program
    double cyclesPerSecond() const { return (clockHz_ > 0 ? clockHz_ : 20e6) / 4.0; }
    void paceSlice();
    void clearSlice(std::function<void()> then);
    // gpsim's "clear" takes a cycle break off its list but leaves it scheduled: a run that meets one of these
    // cycles again was not stopped by anything the user set, and goes on
    std::set<uint64_t> staleCycleBreaks_;
    // True when the end of a run or a step over was such a cycle break (it is then forgotten).
    bool StaleCycleBreak(const std::string& text);
    bool failedOnce_ = false;
    enum class Eeprom { Unknown, Present, Absent };
    Eeprom eeprom_ = Eeprom::Unknown;  // a part without EEPROM answers "dump e" with nothing: not asked again
};
