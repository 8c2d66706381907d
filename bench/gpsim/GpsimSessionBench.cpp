// SPDX-License-Identifier: GPL-3.0-or-later
// Measures a simulation session on the real gpsim: Step Into repeated through the session object (each
// step waits for its registers), Step Into from the menu with the Registers window alone and with every
// debugging window open, and Project > Simulate's Run until the breakpoint's line is marked.
// Prints the figures; skips when gpasm or gpsim is missing.
#include "shell/Main.h"

#include "SilentPrompter.h"
#include "editctl/DocumentManager.h"
#include "gpsim/SimSession.h"
#include "shell/Idefunction.h"
#include "shell/Startup.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>

namespace {

const QString kData = KORVEX_SOURCE_DIR "/tests/gpsim/data";

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    return true;
}

bool Assemble(const QString& folder, const QString& source) {
    for (const char* file : {"count84a.asm", "main877a.asm", "sub.inc"})
        QFile::copy(kData + "/" + file, folder + "/" + file);
    QProcess gpasm;
    gpasm.setWorkingDirectory(folder);
    gpasm.start("gpasm", {"-q", source});
    return gpasm.waitForFinished(30000) && gpasm.exitCode() == 0;
}

// Writes a project file and opens it in the shown main window.
void OpenProject(const QString& path, const char* text) {
    QFile project(path);
    project.open(QIODevice::WriteOnly);
    project.write(text);
    project.close();
    MainForm->LoadProject(path);
    MainForm->show();
}

// Milliseconds per step; 0 when the session did not start.
double MeasureSteps(const QString& cod, int steps) {
    SimSession session;
    session.start(cod);
    auto stopped = [&session] { return session.state() == SimSession::State::Stopped || !session.active(); };
    if (!WaitFor(stopped, 10000) || !session.active()) {
        std::printf("steps: the session did not start\n");
        return 0;
    }
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < steps; ++i) {
        session.stepInto();
        WaitFor(stopped, 10000);
    }
    double seconds = clock.nsecsElapsed() / 1e9;
    std::printf("Step Into through the session: %d steps in %.3f s = %.0f steps/s (%.3f ms per step)\n", steps,
                seconds, steps / seconds, 1e3 * seconds / steps);
    session.endNow();
    return 1e3 * seconds / steps;
}

// A Run of the program's endless loop for `seconds` of wall time: the cycles it ran, the wall time it took
// and how often it was looked at; none when the session did not start.
struct TimedRun {
    uint64_t cycles = 0;
    double wall = 0;
    int looks = 0;
};
std::optional<TimedRun> RunFor(const QString& cod, double seconds, int liveMs, bool realTime) {
    SimSession session;
    session.setLiveInterval(liveMs);
    session.setClock(4e6);
    session.start(cod);
    auto stopped = [&session] { return session.state() == SimSession::State::Stopped || !session.active(); };
    if (!WaitFor(stopped, 10000) || !session.active())
        return std::nullopt;
    session.setRealTime(realTime);
    TimedRun timed;
    QObject::connect(&session, &SimSession::live, [&timed] { ++timed.looks; });
    uint64_t before = session.lastStop().cycles;
    QElapsedTimer clock;
    clock.start();
    session.run();
    WaitFor([&clock, seconds] { return clock.nsecsElapsed() >= seconds * 1e9; }, int(seconds * 1000) + 1000);
    session.stop();
    WaitFor(stopped, 10000);
    timed.wall = clock.nsecsElapsed() / 1e9;
    timed.cycles = session.lastStop().cycles - before;
    session.endNow();
    return timed;
}

// Cycles per second of a Run looked at every `liveMs` (0: never, gpsim on its own).
double MeasureRun(const QString& cod, int liveMs, double seconds) {
    std::optional<TimedRun> run = RunFor(cod, seconds, liveMs, false);
    if (!run)
        return 0;
    double rate = double(run->cycles) / run->wall;
    std::printf("Run for %.1f s %s: %.1f M cycles/s (%d looks)\n", run->wall,
                liveMs > 0 ? "looked at live" : "on gpsim's own", rate / 1e6, run->looks);
    return rate;
}

// Step Into from the Simulate menu, the editor marking each stop and the Registers window showing it, with
// or without every other debugging window open and filled at each stop; milliseconds per step.
enum class Windows { None, All };
double MeasureStepsThroughTheMenu(const QString& folder, int steps, Windows windows) {
    std::filesystem::path config =
        (folder + (windows == Windows::All ? "/config-windows" : "/config-bare")).toStdString();
    SilentPrompter prompter;
    TKorvex korvex(config, prompter);
    OpenProject(folder + "/w.pro",
                "[PROJECT]\nFormat=MPASM\n[WATCHES]\nCount=4\nWatch0=value,hex\nWatch1=STATUS,bin\n"
                "Watch2=PORTB,dec\nWatch3=0x21,char\n[FILES]\nCount=1\nFile0=main877a.asm\n");
    SimSession& session = *MainForm->simSession;
    auto stopped = [&session] { return session.state() == SimSession::State::Stopped || !session.active(); };
    MainForm->ProjectSimulate->trigger();
    if (!WaitFor(stopped, 10000) || !session.active()) {
        std::printf("steps with every window: the session did not start\n");
        return 0;
    }
    if (windows == Windows::All)
        for (QAction* action : {MainForm->SimulateSfr, MainForm->SimulateFileRegisters, MainForm->SimulateEeprom,
                                MainForm->SimulateWatches, MainForm->SimulateProgramMemory})
            action->trigger();
    QCoreApplication::processEvents();
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < steps; ++i) {
        MainForm->SimulateStepInto->trigger();
        WaitFor(stopped, 10000);
    }
    double seconds = clock.nsecsElapsed() / 1e9;
    std::printf("Step Into from the menu, %s: %d steps in %.3f s (%.3f ms per step)\n",
                windows == Windows::All
                    ? "with the Special Function Registers, File Registers, EEPROM, Watches (4) and Program Memory "
                      "windows open"
                    : "the Registers window alone",
                steps, seconds, 1e3 * seconds / steps);
    MainForm->SimulateEnd->trigger();
    WaitFor([&session] { return !session.active(); }, 10000);
    return 1e3 * seconds / steps;
}

void MeasureRunToBreakpoint(const QString& folder, int repeats) {
    std::filesystem::path config = (folder + "/config").toStdString();
    SilentPrompter prompter;
    TKorvex korvex(config, prompter);
    OpenProject(folder + "/p.pro",
                "[PROJECT]\nFormat=MPASM\n[FILES]\nCount=1\nFile0=main877a.asm\n"
                "[BREAKPOINTS]\nCount=1\nBreakpoint0=sub.inc,3\n");
    SimSession& session = *MainForm->simSession;
    auto stopped = [&session] { return session.state() == SimSession::State::Stopped || !session.active(); };
    auto markedAtBreakpoint = [&korvex, &folder] {
        TDocument* sub = korvex.documents.find(folder + "/sub.inc");
        return sub && sub->lineStyle(2) == 16;  // the execution point on "addwf value, w"
    };
    double best = 1e9, total = 0;
    for (int i = 0; i < repeats; ++i) {
        MainForm->ProjectSimulate->trigger();
        if (!WaitFor(stopped, 10000) || !session.active()) {
            std::printf("run: the session did not start\n");
            return;
        }
        QElapsedTimer clock;
        clock.start();
        MainForm->SimulateRun->trigger();
        if (!WaitFor(markedAtBreakpoint, 10000)) {
            std::printf("run: the breakpoint's line was not marked\n");
            return;
        }
        double ms = clock.nsecsElapsed() / 1e6;
        best = std::min(best, ms);
        total += ms;
        MainForm->SimulateEnd->trigger();
        WaitFor([&session] { return !session.active(); }, 10000);
    }
    std::printf(
        "Run until the breakpoint's line is marked (6 instructions away, include file): best %.2f ms, "
        "mean %.2f ms over %d runs\n",
        best, total / repeats, repeats);
}

// Real Time for `seconds` of wall time at a 4 MHz clock (a million instruction cycles a second): the
// program's time against the wall clock's.
void MeasureRealTime(const QString& cod, double seconds) {
    std::optional<TimedRun> run = RunFor(cod, seconds, 100, true);
    if (!run) {
        std::printf("real time: the session did not start\n");
        return;
    }
    double simulated = double(run->cycles) / 1e6;
    std::printf("Real Time at 4 MHz: %.3f s simulated in %.3f s of wall time, %+.2f %% (target: within 2 %%; %d looks)\n",
                simulated, run->wall, 100 * (simulated - run->wall) / run->wall, run->looks);
}

// Step Back on an example: `steps` steps into it (every 7th a Step Over), after a Run of `runMs` of wall time
// when not 0; the mean and the slowest of `backs` steps back. A step back runs the program again from its
// reset, so it costs in proportion to the program's time since then.
void MeasureStepBack(const QString& cod, const char* example, int runMs, int steps, int backs) {
    SimSession session;
    session.setClock(4e6);
    session.start(cod);
    auto stopped = [&session] { return session.state() == SimSession::State::Stopped || !session.active(); };
    if (!WaitFor(stopped, 10000) || !session.active()) {
        std::printf("step back: the session did not start on %s\n", example);
        return;
    }
    if (runMs > 0) {
        session.run();
        QElapsedTimer clock;
        clock.start();
        WaitFor([&clock, runMs] { return clock.elapsed() >= runMs; }, runMs + 1000);
        session.stop();
        WaitFor(stopped, 10000);
    }
    for (int i = 0; i < steps; ++i) {
        i % 7 == 3 ? session.stepOver() : session.stepInto();
        WaitFor(stopped, 10000);
    }
    uint64_t deepest = session.lastStop().cycles;
    double total = 0, slowest = 0;
    for (int i = 0; i < backs; ++i) {
        QElapsedTimer clock;
        clock.start();
        session.stepBack();
        WaitFor(stopped, 10000);
        double ms = clock.nsecsElapsed() / 1e6;
        total += ms;
        slowest = std::max(slowest, ms);
    }
    std::printf("Step Back on the %s example, %s%d steps in (%.3f s of the program's time at 4 MHz): mean %.2f ms, "
                "slowest %.2f ms over %d steps back (target <= 100 ms)\n",
                example, runMs > 0 ? "a Run then " : "", steps, double(deepest) / 1e6, total / backs, slowest,
                backs);
    session.endNow();
}

bool AssembleExample(const QString& folder, const QString& example, const QString& processor) {
    QString from = KORVEX_SOURCE_DIR "/examples/" + example;
    for (const QString& file : QDir(from).entryList(QDir::Files))
        QFile::copy(from + "/" + file, folder + "/" + file);
    QProcess gpasm;
    gpasm.setWorkingDirectory(folder);
    gpasm.start("gpasm", {"-q", "-p" + processor, example + ".asm"});
    return gpasm.waitForFinished(30000) && gpasm.exitCode() == 0;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // the offscreen platform says at each raise that it cannot: nothing a reader of the figures needs
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (!text.startsWith("This plugin does not support"))
            std::fprintf(stderr, "%s%s\n", type == QtWarningMsg ? "warning: " : "", qPrintable(text));
    });
    QApplication app(argc, argv);
    if (QStandardPaths::findExecutable("gpasm").isEmpty() ||
        QStandardPaths::findExecutable("gpsim").isEmpty()) {
        std::printf("gpsim_session_bench: gpasm or gpsim is not installed; skipped\n");
        return 0;
    }
    QTemporaryDir dir;
    if (!Assemble(dir.path(), "main877a.asm")) {
        std::printf("gpsim_session_bench: the test program did not assemble\n");
        return 1;
    }
    double session = MeasureSteps(dir.path() + "/main877a.cod", 2000);
    double bare = MeasureStepsThroughTheMenu(dir.path(), 2000, Windows::None);
    double windows = MeasureStepsThroughTheMenu(dir.path(), 2000, Windows::All);
    if (session > 0 && bare > 0 && windows > 0)
        std::printf("A step with every window open: %.2f x the step with the Registers window alone, %.2f x the "
                    "step through the session object (target <= 2 x, and within a frame, 16 ms: %.3f ms)\n",
                    windows / bare, windows / session, windows);
    MeasureRunToBreakpoint(dir.path(), 20);
    // by turns, the best of each: gpsim's speed moves with what else the machine does
    double alone = 0, live = 0;
    for (int round = 0; round < 2; ++round) {
        alone = std::max(alone, MeasureRun(dir.path() + "/main877a.cod", 0, 3.0));
        live = std::max(live, MeasureRun(dir.path() + "/main877a.cod", 100, 3.0));
    }
    if (alone > 0 && live > 0)
        std::printf("A live Run keeps %.1f %% of gpsim's own speed, best of two runs each (target: loses at most 10 %%)\n",
                    100 * live / alone);
    for (const auto& [example, processor] : {std::pair{"blink", "16f84a"}, std::pair{"counter", "16f877a"}})
        if (AssembleExample(dir.path(), example, processor))
            for (int runMs : {0, 20, 100})
                MeasureStepBack(dir.path() + "/" + example + ".cod", example, runMs, runMs > 0 ? 20 : 1000, 20);
        else
            std::printf("step back: the %s example did not assemble\n", example);
    MeasureRealTime(dir.path() + "/main877a.cod", 10.0);
    return 0;
}
