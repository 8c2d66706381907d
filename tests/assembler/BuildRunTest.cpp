// SPDX-License-Identifier: GPL-3.0-or-later
// The assembler run with fake assemblers written here: arguments, folder, failures, wine, the live wait.
#include "assembler/BuildRun.h"

#include "QtPrinters.h"
#include "ScriptedPrompter.h"
#include "TempDir.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QSignalSpy>
#include <QTimer>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

QString Q(const fs::path& path) {
    return QString::fromStdString(path.string());
}

void WriteFile(const fs::path& path, const std::string& bytes,
               fs::perms perms = fs::perms::owner_read | fs::perms::owner_write) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
    fs::permissions(path, perms);
}

// A fake assembler: a shell script that may read and write files in its working folder.
fs::path WriteScript(const fs::path& path, const std::string& body) {
    WriteFile(path, "#!/bin/sh\n" + body, fs::perms::owner_all);
    return path;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// PATH for one test, restored afterwards.
class PathOverride {
  public:
    explicit PathOverride(const QByteArray& path) : old_(qgetenv("PATH")) { qputenv("PATH", path); }
    ~PathOverride() { qputenv("PATH", old_); }

  private:
    QByteArray old_;
};

class BuildRun : public ::testing::Test {
  protected:
    TempDir dir;
    ScriptedPrompter prompter;
    TBuildRun run{prompter};
};

TEST(AssemblerArgumentsTest, SwitchesSplitAtBlanksAndTheFileStaysWhole) {
    EXPECT_EQ(AssemblerArguments(" /q /e+ /l+ /x- /c-  /p16C61 ", "my main.asm"),
              QStringList({"/q", "/e+", "/l+", "/x-", "/c-", "/p16C61", "my main.asm"}));
    EXPECT_EQ(
        AssemblerArguments(" /q /e+ /l- /x+ /c+ /dDEBUG  /dX=1 /p ", "/home/u/a b/main.asm"),
        QStringList({"/q", "/e+", "/l-", "/x+", "/c+", "/dDEBUG", "/dX=1", "/p", "/home/u/a b/main.asm"}));
}

TEST_F(BuildRun, ProgramGetsEachArgumentWholeAndRunsInTheProjectFolder) {
    fs::path project = dir / "my project";
    fs::create_directories(project);
    fs::path assembler = WriteScript(dir / "my tools/MPASMWIN.EXE",
                                     "pwd > args.txt\nfor a in \"$@\"; do echo \"[$a]\" >> args.txt; done\n"
                                     "echo console text\n");
    EXPECT_EQ(
        run.RunAndWait(Q(assembler), AssemblerArguments(" /q /e+ /p16F84 ", "main file.asm"), Q(project)),
        TBuildRun::Outcome::Ended);
    EXPECT_EQ(ReadFile(project / "args.txt"),
              project.string() + "\n[/q]\n[/e+]\n[/p16F84]\n[main file.asm]\n");
    EXPECT_EQ(run.output(), "console text\n");
    EXPECT_FALSE(TBuildRun::running());
}

TEST_F(BuildRun, ProgramsThatCannotStartAreReported) {
    fs::create_directories(dir / "p");
    prompter.expectError("Fail to execute external program");
    EXPECT_EQ(run.RunAndWait(Q(dir / "missing/MPASMWIN.EXE"), {"main.asm"}, Q(dir / "p")),
              TBuildRun::Outcome::FailedToStart);
    // a file without the right to run it
    WriteFile(dir / "MPASMWIN.EXE", "#!/bin/sh\n");
    prompter.expectError("Fail to execute external program");
    EXPECT_EQ(run.RunAndWait(Q(dir / "MPASMWIN.EXE"), {"main.asm"}, Q(dir / "p")),
              TBuildRun::Outcome::FailedToStart);
    // a project folder that has gone
    WriteScript(dir / "ok/MPASMWIN.EXE", "exit 0\n");
    prompter.expectError("Fail to execute external program");
    EXPECT_EQ(run.RunAndWait(Q(dir / "ok/MPASMWIN.EXE"), {"main.asm"}, Q(dir / "gone")),
              TBuildRun::Outcome::FailedToStart);
    EXPECT_FALSE(TBuildRun::running());
}

TEST_F(BuildRun, WindowsProgramNeedsWine) {
    fs::create_directories(dir / "p");
    WriteFile(dir / "p/main.asm", "\tend\n");
    WriteFile(dir / "win/MPASMWIN.EXE", std::string("MZ\x90\0\3\0", 6), fs::perms::owner_all);
    EXPECT_TRUE(IsWindowsProgram(Q(dir / "win/MPASMWIN.EXE")));
    {
        PathOverride path(QByteArray::fromStdString((dir / "nowine").string()));
        prompter.expectError("Fail to execute external program");
        EXPECT_EQ(run.RunAndWait(Q(dir / "win/MPASMWIN.EXE"), {"/q", "main.asm"}, Q(dir / "p")),
                  TBuildRun::Outcome::FailedToStart);
    }
    // with wine installed, wine runs the program; a full path reaches it on drive Z:
    WriteScript(dir / "bin/wine", "for a in \"$@\"; do printf '[%s]\\n' \"$a\" >> wine.txt; done\n");
    PathOverride path(QByteArray::fromStdString((dir / "bin").string()));
    EXPECT_EQ(run.RunAndWait(Q(dir / "win/MPASMWIN.EXE"), {"/q", Q(dir / "p/main.asm")}, Q(dir / "p")),
              TBuildRun::Outcome::Ended);
    std::string windowsPath = "Z:" + (dir / "p/main.asm").string();
    std::replace(windowsPath.begin(), windowsPath.end(), '/', '\\');
    EXPECT_EQ(ReadFile(dir / "p/wine.txt"),
              "[" + (dir / "win/MPASMWIN.EXE").string() + "]\n[/q]\n[" + windowsPath + "]\n");
}

TEST_F(BuildRun, EventsRunDuringTheWaitAndASecondRunIsRefused) {
    fs::create_directories(dir / "p");
    // the fake assembler runs until the test, from inside the wait, lets it go
    fs::path assembler = WriteScript(dir / "MPASMWIN.EXE", "while [ ! -f go ]; do sleep 0.01; done\n");
    QObject::connect(&run, &TBuildRun::started, &run, [&] {
        QTimer::singleShot(0, &run, [&] {
            EXPECT_TRUE(TBuildRun::running());
            TBuildRun second(prompter);
            prompter.expectInformation("The assembler is still running; wait until it has ended");
            EXPECT_EQ(second.RunAndWait(Q(assembler), {}, Q(dir / "p")), TBuildRun::Outcome::Refused);
            WriteFile(dir / "p/go", "");
        });
    });
    QSignalSpy started(&run, &TBuildRun::started);
    EXPECT_EQ(run.RunAndWait(Q(assembler), {"main.asm"}, Q(dir / "p")), TBuildRun::Outcome::Ended);
    EXPECT_EQ(started.count(), 1);
    EXPECT_FALSE(TBuildRun::running());
}

}  // namespace

namespace {

TEST(BuildRunOutput, OnlyTheEndOfAnEndlessTalkIsKept) {
    TempDir dir;
    ScriptedPrompter prompter;
    TBuildRun run(prompter);
    // 40 MB on the console, then the last words
    fs::path script =
        WriteScript(dir / "talk", "head -c 40000000 /dev/zero | tr '\\0' x\necho\necho the end\nexit 4\n");
    ASSERT_EQ(run.RunAndWait(Q(script), {}, Q(dir.path())), TBuildRun::Outcome::Ended);
    EXPECT_LE(run.output().size(), 64 * 1024);
    EXPECT_TRUE(run.output().endsWith("the end\n"));
    EXPECT_EQ(run.exitCode(), 4);
}

}  // namespace
