// SPDX-License-Identifier: GPL-3.0-or-later
// Measures a simulation session on the real gpsim: Step Into repeated through the session object (each
// step waits for its registers), and Project > Simulate's Run until the breakpoint's line is marked.
// Prints the figures; skips when gpasm or gpsim is missing.
#include "shell/Main.h"

#include "SilentPrompter.h"
#include "editctl/DocumentManager.h"
#include "gpsim/SimSession.h"
#include "shell/Idefunction.h"
#include "shell/Startup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

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

void MeasureSteps(const QString& cod, int steps) {
    SimSession session;
    session.start(cod);
    auto stopped = [&session] { return session.state() == SimSession::State::Stopped || !session.active(); };
    if (!WaitFor(stopped, 10000) || !session.active()) {
        std::printf("steps: the session did not start\n");
        return;
    }
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < steps; ++i) {
        session.stepInto();
        WaitFor(stopped, 10000);
    }
    double seconds = clock.nsecsElapsed() / 1e9;
    std::printf("Step Into through the session: %d steps in %.3f s = %.0f steps/s (%.3f ms per step)\n",
                steps, seconds, steps / seconds, 1e3 * seconds / steps);
    session.endNow();
}

void MeasureRunToBreakpoint(const QString& folder, int repeats) {
    std::filesystem::path config = (folder + "/config").toStdString();
    SilentPrompter prompter;
    TKorvex korvex(config, prompter);
    QFile project(folder + "/p.pro");
    project.open(QIODevice::WriteOnly);
    project.write(
        "[PROJECT]\nFormat=MPASM\n[FILES]\nCount=1\nFile0=main877a.asm\n"
        "[BREAKPOINTS]\nCount=1\nBreakpoint0=sub.inc,3\n");
    project.close();
    MainForm->LoadProject(folder + "/p.pro");
    MainForm->show();
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

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
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
    MeasureSteps(dir.path() + "/main877a.cod", 2000);
    MeasureRunToBreakpoint(dir.path(), 20);
    return 0;
}
