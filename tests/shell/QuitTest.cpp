// SPDX-License-Identifier: GPL-3.0-or-later
// Quitting as a user does it: File > Exit in the running message loop, which must really end, with exit
// status 0, whatever is open or running.
#include "shell/Main.h"

#include "ScriptedPrompter.h"
#include "TempDir.h"
#include "assembler/BuildRun.h"
#include "editctl/DocumentManager.h"
#include "editctl/Memo.h"
#include "editor/MyEditUnit.h"
#include "shell/Idefunction.h"
#include "shell/ProW.h"
#include "shell/Startup.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QCoreApplication>
#include <QTimer>

#include <filesystem>
#include <functional>

#include <cerrno>
#include <csignal>

namespace {

namespace fs = std::filesystem;

QString Q(const fs::path& path) {
    return QString::fromStdString(path.string());
}

constexpr int kWatchdogExit = 99;

class Quitting : public ::testing::Test {
  protected:
    void SetUp() override { korvex = std::make_unique<TKorvex>(dir / "config", prompter); }
    void TearDown() override { korvex.reset(); }

    // Runs the program's message loop; `user` acts once it runs. A loop that does not end within the
    // watchdog's time returns kWatchdogExit instead of hanging the suite.
    int runWhile(const std::function<void()>& user) {
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(kWatchdogExit); });
        watchdog.start(30000);
        QTimer::singleShot(0, MainForm, user);
        return korvex->exec();
    }
    void fileExit() { MainForm->FileExit->trigger(); }

    TempDir dir;
    ScriptedPrompter prompter;
    std::unique_ptr<TKorvex> korvex;
};

TEST_F(Quitting, WithNothingOpenOnlyTheQuitQuestionIsAskedAndTheLoopEnds) {
    int status = runWhile([this] {
        prompter.willConfirm("Do you want to quit Korvex?", false);
        fileExit();
        // No leaves the program running: the next Exit still finds it
        EXPECT_TRUE(MainForm->isVisible());
        prompter.willConfirm("Do you want to quit Korvex?", true);
        fileExit();
    });
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(prompter.allAnswered());
}

TEST_F(Quitting, AModifiedDocumentIsAskedAboutOnceAndWrittenOnceOrNotAtAll) {
    fs::path kept = dir / "kept.asm", dropped = dir / "dropped.asm";
    WriteAll(kept, "old kept\n");
    WriteAll(dropped, "old dropped\n");
    int status = runWhile([&] {
        for (const fs::path& file : {kept, dropped}) {
            TDocument* document = Documents->open(Q(file));
            ASSERT_TRUE(document);
            document->setBytes("new " + QByteArray::fromStdString(file.filename().string()) + "\n");
        }
        prompter.willAnswerSave("Save changes to dropped.asm?", SaveAnswer::No);
        prompter.willAnswerSave("Save changes to kept.asm?", SaveAnswer::Yes);
        prompter.willConfirm("Do you want to quit Korvex?", true);
        fileExit();
    });
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(prompter.allAnswered());
    EXPECT_EQ(ReadAll(kept), "new kept.asm\n");
    // a second save would have backed up the first one's text
    EXPECT_EQ(ReadAll(fs::path(kept.string() + ".bak")), "old kept\n");
    EXPECT_EQ(ReadAll(dropped), "old dropped\n");
}

TEST_F(Quitting, ClosingTheProjectWindowOrAnEditorWindowDoesNotStopTheQuit) {
    fs::path source = dir / "a.asm";
    WriteAll(source, "nop\n");
    int status = runWhile([&] {
        Documents->open(Q(source));
        EXPECT_FALSE(ProWindow->close());  // on its own it stays for the whole run
        prompter.willConfirm("Do you want to quit Korvex?", true);
        MainForm->close();  // the main strip's close button
    });
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(prompter.allAnswered());
}

// A project in work/ whose assembler never ends; `onTerm` is its answer to the request to end.
class QuittingDuringABuild : public Quitting {
  protected:
    void SetUp() override {
        Quitting::SetUp();
        fs::create_directories(work);
        WriteAll(work / "main.asm", "\tnop\n\tend\n");
        WriteAll(work / "p.pro", "[PROJECT]\nFormat=MPASM\n[FILES]\nCount=1\nFile0=main.asm\n");
    }
    void useAssembler(const std::string& onTerm) {
        fs::path assembler = dir / "bin" / "MPASMWIN.EXE";
        fs::create_directories(assembler.parent_path());
        WriteAll(assembler, "#!/bin/sh\ntrap " + onTerm + " TERM\necho $$ > '" + pidFile.string() +
                                ".tmp'\nmv '" + pidFile.string() + ".tmp' '" + pidFile.string() +
                                "'\nwhile :; do sleep 0.1; done\n");
        fs::permissions(assembler, fs::perms::owner_all);
        korvex->settings.AssemblerPath = assembler.string();
        korvex->settings.AssemblerFileName = "MPASMWIN.EXE";
        prompter.willChooseFile(Q(work / "p.pro"));
        MainForm->ProjectOpen->trigger();
    }
    // Builds, and quits once the assembler runs; the loop's exit status.
    int buildAndQuit() {
        QTimer whenRunning;
        QObject::connect(&whenRunning, &QTimer::timeout, [&] {
            if (!TBuildRun::running() || !fs::exists(pidFile))
                return;
            whenRunning.stop();
            prompter.willConfirm("Do you want to quit Korvex?", true);
            fileExit();
        });
        return runWhile([&] {
            whenRunning.start(20);
            MainForm->ProjectBuild->trigger();  // waits in its own loop until the assembler ends
        });
    }
    bool assemblerGone() const {
        pid_t pid = std::stoi(ReadAll(pidFile));
        return kill(pid, 0) == -1 && errno == ESRCH;
    }

    fs::path work = dir / "work";
    fs::path pidFile = dir / "pid";
};

TEST_F(QuittingDuringABuild, TheAssemblerIsAskedToEndAndTheProgramEnds) {
    useAssembler("'echo asked > \"" + (dir / "asked").string() + "\"; exit 1'");
    EXPECT_EQ(buildAndQuit(), 0);
    EXPECT_TRUE(prompter.allAnswered());
    EXPECT_FALSE(TBuildRun::running());
    EXPECT_TRUE(assemblerGone());
    EXPECT_EQ(ReadAll(dir / "asked"), "asked\n");
}

TEST_F(QuittingDuringABuild, AnAssemblerThatIgnoresTheRequestIsKilled) {
    useAssembler("''");
    EXPECT_EQ(buildAndQuit(), 0);
    EXPECT_TRUE(prompter.allAnswered());
    EXPECT_TRUE(assemblerGone());
}

}  // namespace
