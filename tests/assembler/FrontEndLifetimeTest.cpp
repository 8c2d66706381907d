// SPDX-License-Identifier: GPL-3.0-or-later
// What the gpasm front end does with a gpasm that misbehaves, played by the stand-ins in
// tests/assembler/standins: gpasm never outlives it, its console is never kept whole, and an output file
// that is no regular file is refused before gpasm runs.
#include "assembler/BuildRun.h"

#include "ProcessGone.h"
#include "ScriptedPrompter.h"
#include "TempDir.h"

#include <gtest/gtest.h>
#include <QProcess>
#include <QTest>
#include "GTestQTry.h"
#include <QTimer>

#include <filesystem>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const QString kFrontEnd = KORVEX_BINARY_DIR "/tools/mpasmwin/MPASMWIN.EXE";
const std::string kStandIns = KORVEX_SOURCE_DIR "/tests/assembler/standins/";

// An environment variable for the length of one test.
struct Environment {
    Environment(const char* name, const std::string& value) : name_(name) { setenv(name, value.c_str(), 1); }
    ~Environment() { unsetenv(name_); }
    const char* name_;
};

class FrontEndLifetime : public ::testing::Test {
  protected:
    void SetUp() override { WriteAll(dir / "main.asm", "\tlist p=16f84\n\tend\n"); }
    QString folder() const { return QString::fromStdString(dir.path().string()); }
    // The process id the lingering stand-in wrote, once it has; 0 until then.
    long long gpasmPid() const {
        std::string text = ReadAll(dir / "gpasm.pid");
        return text.empty() ? 0 : std::stoll(text);
    }

    TempDir dir;
    ScriptedPrompter prompter;
};

TEST_F(FrontEndLifetime, AStoppedBuildLeavesNoGpasmBehind) {
    Environment gpasm("KORVEX_GPASM", kStandIns + "lingering-gpasm");
    Environment pidFile("STANDIN_PIDFILE", (dir / "gpasm.pid").string());
    TBuildRun run(prompter);
    long long pid = 0;
    // Ctrl+F9 again, Yes: the build is stopped once gpasm is running
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &poll, [this, &pid] {
        if ((pid = gpasmPid()) > 0)
            TBuildRun::StopRunning();
    });
    poll.start(20);
    EXPECT_EQ(run.RunAndWait(kFrontEnd, {"/q", "main.asm"}, folder()), TBuildRun::Outcome::Stopped);
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(ProcessGone(pid));
}

TEST_F(FrontEndLifetime, AKilledFrontEndTakesGpasmWithIt) {
    Environment gpasm("KORVEX_GPASM", kStandIns + "lingering-gpasm");
    Environment pidFile("STANDIN_PIDFILE", (dir / "gpasm.pid").string());
    QProcess frontEnd;
    frontEnd.setWorkingDirectory(folder());
    frontEnd.start(kFrontEnd, {"/q", "main.asm"});
    QTRY_VERIFY(gpasmPid() > 0);
    ::kill(pid_t(frontEnd.processId()), SIGKILL);
    EXPECT_TRUE(ProcessGone(gpasmPid()));
    frontEnd.waitForFinished();
}

TEST_F(FrontEndLifetime, AGpasmThatPrintsWithoutEndKeepsTheFrontEndSmall) {
    Environment gpasm("KORVEX_GPASM", kStandIns + "chatty-gpasm");
    pid_t child = fork();
    if (child == 0) {
        int null = ::open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        if (chdir(dir.path().c_str()) != 0)
            _exit(126);
        execl(kFrontEnd.toLocal8Bit().constData(), "MPASMWIN.EXE", "main.asm", nullptr);
        _exit(127);
    }
    ASSERT_GT(child, 0);
    int status = 0;
    struct rusage usage {};
    ASSERT_EQ(wait4(child, &status, 0, &usage), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    // 200 MB went through it; it kept no more than its tail (the figure is in KB)
    EXPECT_LT(usage.ru_maxrss, 32 * 1024);
}

TEST_F(FrontEndLifetime, AnOutputFileThatIsNoRegularFileIsRefusedBeforeGpasmRuns) {
    Environment gpasm("KORVEX_GPASM", kStandIns + "marking-gpasm");
    Environment mark("STANDIN_MARK", (dir / "gpasm.ran").string());
    ASSERT_EQ(mkfifo((dir / "main.cod").c_str(), 0600), 0);
    TBuildRun run(prompter);
    ASSERT_EQ(run.RunAndWait(kFrontEnd, {"main.asm"}, folder()), TBuildRun::Outcome::Ended);
    EXPECT_EQ(run.exitCode(), 1);
    EXPECT_EQ(ReadAll(dir / "main.err"),
              "Error[157]   main.asm 1 : MPASMWIN.EXE: main.cod is not a regular file; remove it to build\n");
    EXPECT_FALSE(fs::exists(dir / "gpasm.ran"));
    // with the error file itself in the way, the console says it
    fs::remove(dir / "main.cod");
    fs::remove(dir / "main.err");
    ASSERT_EQ(mkfifo((dir / "main.err").c_str(), 0600), 0);
    ASSERT_EQ(run.RunAndWait(kFrontEnd, {"main.asm"}, folder()), TBuildRun::Outcome::Ended);
    EXPECT_EQ(run.exitCode(), 1);
    EXPECT_TRUE(run.output().contains("main.err is not a regular file"));
    EXPECT_FALSE(fs::exists(dir / "gpasm.ran"));
}

}  // namespace
