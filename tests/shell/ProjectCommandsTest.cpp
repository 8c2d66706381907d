// SPDX-License-Identifier: GPL-3.0-or-later
// The Project menu as a user drives it: New, Open, the last project, Close, Options, Add and Remove.
#include "shell/Main.h"

#include "QtPrinters.h"
#include "ScriptedPrompter.h"
#include "TempDir.h"
#include "assembler/DlgMPASM.h"
#include "platform/ProfileFile.h"
#include "shell/Format.h"
#include "shell/Idefunction.h"
#include "shell/ProW.h"
#include "shell/Project.h"
#include "shell/Startup.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>

#include <fstream>
#include <sstream>

namespace {

const std::string kNewProject =
    "[PROJECT]\nFormat=MPASM\n[MPASM]\nList File=1\nCross File=0\nRadix=0\nWarning Level=0\nHex Output=0\n"
    "Macro=0\nCase Sensitive=0\nProcessor=16C61\nAdditional=\n";

class ProjectCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(dir / "work");
        std::filesystem::create_directories(dir / "lib");
        start();
    }
    void start() { korvex = std::make_unique<TKorvex>(dir / "config", prompter); }
    void TearDown() override { korvex.reset(); }

    QString path(const std::string& name) const { return QString::fromStdString((dir / name).string()); }

    // The Format dialog closed with OK.
    void formatOK() {
        prompter.willShowModal("FormatDlg", [](QDialog& dialog) {
            static_cast<TFormatDlg&>(dialog).OKBtn->click();
            return dialog.result();
        });
    }
    // The MPASM Options dialog: `edit` changes its controls, then OK or Cancel.
    void mpasm(std::function<void(TMPASMDlg&)> edit, bool ok = true) {
        prompter.willShowModal("MPASMDlg", [edit, ok](QDialog& dialog) {
            auto& options = static_cast<TMPASMDlg&>(dialog);
            if (edit)
                edit(options);
            (ok ? options.OKBtn : options.CancelBtn)->click();
            return dialog.result();
        });
    }
    void cancelModal(const QString& name) {
        prompter.willShowModal(name, [](QDialog&) { return int(QDialog::Rejected); });
    }
    // Project > New on a name, confirmed in both dialogs.
    void newProject(const std::string& name) {
        prompter.willChooseFile(path(name));
        formatOK();
        mpasm(nullptr);
        MainForm->ProjectNew->trigger();
    }
    void open(const std::string& name) {
        prompter.willChooseFile(path(name));
        MainForm->ProjectOpen->trigger();
    }
    void openFailing(const std::string& name, const QString& error) {
        prompter.willChooseFile(path(name));
        prompter.expectError(error);
        MainForm->ProjectOpen->trigger();
    }
    void add(const std::string& name) {
        prompter.willChooseFile(path(name));
        MainForm->ProjectAdd->trigger();
    }
    bool projectOpen() const {
        bool open = MainForm->ProjectClose->isEnabled();
        for (QAction* a : {MainForm->ProjectAdd, MainForm->ProjectRemove, MainForm->ProjectBuild,
                           MainForm->ProjectOptions})
            EXPECT_EQ(a->isEnabled(), open) << a->objectName().toStdString();
        EXPECT_EQ(MainForm->SBProjectBuild->isEnabled(), open);
        EXPECT_EQ(MainForm->ProjectNew->isEnabled(), !open);
        EXPECT_EQ(MainForm->ProjectOpen->isEnabled(), !open);
        EXPECT_EQ(MainForm->SBProOpen->isEnabled(), !open);
        return open;
    }
    QStringList entries() const { return ProWindow->Entries(); }
    std::string storedLastProject() const {
        return korvex->registry
            .readString(RegRoot::LocalMachine, "Software\\Tervane\\Korvex v0.30\\Project", "Name")
            .value_or("(none)");
    }

    TempDir dir;
    ScriptedPrompter prompter;
    std::unique_ptr<TKorvex> korvex;
};

TEST_F(ProjectCommands, NewWithOptionsAndTwoAddsLeavesTheFileLineForLine) {
    prompter.willChooseFile(path("work/blink"));  // typed without an extension
    formatOK();
    mpasm(nullptr);
    MainForm->ProjectNew->trigger();
    EXPECT_EQ(prompter.lastFileRequest.title, "New Project");
    EXPECT_EQ(prompter.lastFileRequest.filters, QStringList{"Project file (*.pro)"});
    EXPECT_EQ(prompter.lastFileRequest.defaultSuffix, "pro");
    QString project = path("work/blink.pro");
    EXPECT_EQ(ReadAll(dir / "work/blink.pro"), kNewProject);
    EXPECT_TRUE(projectOpen());
    EXPECT_EQ(MainForm->windowTitle(), "Korvex - blink.pro");
    EXPECT_EQ(ProWindow->windowTitle(), project);
    EXPECT_EQ(storedLastProject(), project.toStdString());
    EXPECT_FALSE(MainForm->ProjectLast->isVisible());
    EXPECT_EQ(ProjectDir, (dir / "work").string() + "/");

    add("work/main.asm");
    EXPECT_EQ(prompter.lastFileRequest.title, "Add to Project");
    EXPECT_EQ(prompter.lastFileRequest.filters,
              (QStringList{"Assembler file (*.asm)", "Include file (*.inc)"}));
    EXPECT_EQ(prompter.lastFileRequest.selectedFilter, "Assembler file (*.asm)");
    EXPECT_EQ(prompter.lastFileRequest.directory, QString::fromStdString(ProjectDir));
    add("lib/common.inc");
    EXPECT_EQ(ReadAll(dir / "work/blink.pro"), kNewProject + "[FILES]\nCount=2\nFile0=main.asm\nFile1=" +
                                                   (dir / "lib/common.inc").string() + "\n");
    EXPECT_EQ(entries(), (QStringList{"main.asm", path("lib/common.inc")}));
    EXPECT_EQ(ProWindow->SelectedLine(), 1);  // the line just added
}

TEST_F(ProjectCommands, NewAbandonedInEitherDialogLeavesNoFileAndNoProject) {
    prompter.willChooseFile(path("work/fresh.pro"));
    formatOK();
    mpasm([](TMPASMDlg& d) { d.CBCross->setChecked(true); }, false);
    MainForm->ProjectNew->trigger();
    EXPECT_FALSE(std::filesystem::exists(dir / "work/fresh.pro"));
    EXPECT_FALSE(projectOpen());
    EXPECT_EQ(MainForm->windowTitle(), "Korvex");
    EXPECT_FALSE(MPASMDlg->Options.CrossFile);

    prompter.willChooseFile(path("work/fresh.pro"));
    cancelModal("FormatDlg");
    MainForm->ProjectNew->trigger();
    EXPECT_FALSE(std::filesystem::exists(dir / "work/fresh.pro"));

    prompter.willCancelFile();
    MainForm->ProjectNew->trigger();
    EXPECT_FALSE(projectOpen());
    EXPECT_EQ(storedLastProject(), "");
}

TEST_F(ProjectCommands, NewOverAnExistingProjectKeepsItUntilBothDialogsAgree) {
    std::string old = "[PROJECT]\nFormat=MPASM\n[FILES]\nCount=1\nFile0=keep.asm\n";
    WriteAll(dir / "work/old.pro", old);
    QString question = "OK to overwrite " + path("work/old.pro") + " ?";

    prompter.willChooseFile(path("work/old.pro"));
    prompter.willConfirm(question, false);
    MainForm->ProjectNew->trigger();

    prompter.willChooseFile(path("work/old.pro"));
    prompter.willConfirm(question, true);
    cancelModal("FormatDlg");
    MainForm->ProjectNew->trigger();

    prompter.willChooseFile(path("work/old.pro"));
    prompter.willConfirm(question, true);
    formatOK();
    mpasm(nullptr, false);
    MainForm->ProjectNew->trigger();
    EXPECT_EQ(ReadAll(dir / "work/old.pro"), old);
    EXPECT_FALSE(projectOpen());

    prompter.willChooseFile(path("work/old.pro"));
    prompter.willConfirm(question, true);
    formatOK();
    mpasm(nullptr);
    MainForm->ProjectNew->trigger();
    EXPECT_EQ(ReadAll(dir / "work/old.pro"), kNewProject);
    EXPECT_TRUE(projectOpen());
    EXPECT_TRUE(entries().isEmpty());
}

TEST_F(ProjectCommands, OpenChecksExistenceAndExtensionThenLoadsTheProject) {
    prompter.willCancelFile();
    MainForm->ProjectOpen->trigger();
    EXPECT_EQ(prompter.lastFileRequest.title, "Open project");

    openFailing("work/none.pro", "Project file cannot be found");
    WriteAll(dir / "work/x.ini", "[PROJECT]\nFormat=MPASM\n");
    openFailing("work/x.ini", "Project file is wrong");
    EXPECT_FALSE(projectOpen());

    WriteAll(dir / "work/x.Pro",
             "[PROJECT]\nFormat=MPASM\n[MPASM]\nRadix=2\nProcessor=16F84\n[FILES]\nCount=3\nFile0=main.asm\n"
             "File2=/elsewhere/b.inc\n");
    ProWindow->show();
    ProWindow->PCProWindow->setCurrentWidget(ProWindow->TSMessages);
    open("work/x.Pro");
    EXPECT_TRUE(projectOpen());
    EXPECT_EQ(MainForm->windowTitle(), "Korvex - x.Pro");
    EXPECT_EQ(entries(), (QStringList{"main.asm", "", "/elsewhere/b.inc"}));
    EXPECT_EQ(ProWindow->SelectedLine(), 0);
    EXPECT_EQ(ProWindow->PCProWindow->currentWidget(), ProWindow->TSFiles);
    EXPECT_EQ(ProjectFormat, 1);
    EXPECT_EQ(MPASMDlg->Options.Radix, 2);
    EXPECT_EQ(MPASMDlg->CommandLineOptions(), " /q /e+ /l+ /x- /rdec /c-  /p16F84 ");
}

TEST_F(ProjectCommands, AProjectOfAnotherFormatOffersNoOptionsEvenAfterAnMpasmProject) {
    newProject("work/a.pro");
    MainForm->ProjectClose->trigger();
    WriteAll(dir / "work/other.pro", "[PROJECT]\nFormat=mpasm\n");
    open("work/other.pro");
    EXPECT_TRUE(projectOpen());
    EXPECT_EQ(ProjectFormat, 0);
    MainForm->ProjectOptions->trigger();  // no dialog
    EXPECT_TRUE(entries().isEmpty());
}

TEST_F(ProjectCommands, AnUnreadableProjectFileIsReportedAndNothingOpens) {
    std::filesystem::create_directory(dir / "work/folder.pro");
    openFailing("work/folder.pro", "Cannot read " + path("work/folder.pro") + ": Is a directory");
    EXPECT_FALSE(projectOpen());
}

TEST_F(ProjectCommands, CloseResetsEverythingAndTheLastProjectEntryReopensIt) {
    newProject("work/p.pro");
    mpasm([](TMPASMDlg& d) { d.RGRadix->item(3)->setChecked(true); });
    MainForm->ProjectOptions->trigger();
    add("work/main.asm");
    ProWindow->showMinimized();
    MainForm->ProjectClose->trigger();
    EXPECT_FALSE(projectOpen());
    EXPECT_FALSE(ProWindow->isMinimized());
    EXPECT_EQ(MainForm->windowTitle(), "Korvex");
    EXPECT_EQ(ProWindow->windowTitle(), "Project");
    EXPECT_TRUE(entries().isEmpty());
    EXPECT_EQ(MPASMDlg->Options, TMpasmOptions{});
    EXPECT_TRUE(MainForm->ProjectLastLine->isVisible());
    EXPECT_TRUE(MainForm->ProjectLast->isVisible());
    EXPECT_EQ(MainForm->ProjectLast->text(), path("work/p.pro"));

    // New after Close presents the defaults, whatever the closed project held
    prompter.willChooseFile(path("work/q.pro"));
    formatOK();
    prompter.willShowModal("MPASMDlg", [](QDialog& d) {
        EXPECT_TRUE(static_cast<TMPASMDlg&>(d).RGRadix->item(0)->isChecked());
        return int(QDialog::Rejected);
    });
    MainForm->ProjectNew->trigger();

    MainForm->ProjectLast->trigger();
    EXPECT_TRUE(projectOpen());
    EXPECT_EQ(entries(), QStringList{"main.asm"});
    EXPECT_EQ(MPASMDlg->Options.Radix, 3);
    EXPECT_EQ(MainForm->windowTitle(), "Korvex - p.pro");
}

TEST_F(ProjectCommands, TheLastProjectSurvivesARestart) {
    newProject("work/p.pro");
    korvex.reset();
    start();
    EXPECT_EQ(MainForm->ProjectLast->text(), path("work/p.pro"));
    MainForm->ProjectLast->trigger();
    EXPECT_TRUE(projectOpen());
}

TEST_F(ProjectCommands, AMissingLastProjectIsForgottenAWrongOneStays) {
    korvex->settings.WriteSetting("Project", "Name", path("work/gone.pro").toStdString());
    korvex.reset();
    start();
    prompter.expectError("Project file cannot be found");
    MainForm->ProjectLast->trigger();
    EXPECT_EQ(storedLastProject(), "");
    EXPECT_EQ(korvex->settings.LastProject, path("work/gone.pro").toStdString());
    EXPECT_FALSE(MainForm->ProjectLast->isVisible());
    EXPECT_FALSE(MainForm->ProjectLastLine->isVisible());
    EXPECT_FALSE(projectOpen());

    WriteAll(dir / "work/p.txt", "");
    korvex->settings.WriteSetting("Project", "Name", path("work/p.txt").toStdString());
    korvex.reset();
    start();
    prompter.expectError("Project file is invalid");
    MainForm->ProjectLast->trigger();
    EXPECT_TRUE(MainForm->ProjectLast->isVisible());
    EXPECT_FALSE(projectOpen());
}

TEST_F(ProjectCommands, AddStoresABareNameOnlyForTheProjectsOwnFolderLetterCaseCounting) {
    newProject("work/p.pro");
    add("work/a.asm");
    add("lib/b.inc");
    std::string otherCase = (dir / "WORK/a.asm").string();
    prompter.willChooseFile(QString::fromStdString(otherCase));
    MainForm->ProjectAdd->trigger();
    add("work/a.asm");  // no check for a file already listed
    EXPECT_EQ(entries(),
              (QStringList{"a.asm", path("lib/b.inc"), QString::fromStdString(otherCase), "a.asm"}));
    prompter.willCancelFile();
    MainForm->ProjectAdd->trigger();
    EXPECT_EQ(entries().size(), 4);
    EXPECT_EQ(ReadProjectFiles(ProfileFile(dir / "work/p.pro")).files.size(), 4u);
}

TEST_F(ProjectCommands, RemoveRenumbersTheRemainingEntriesUnchanged) {
    newProject("work/p.pro");
    add("work/a.asm");
    add("lib/b.inc");
    add("work/c.asm");
    ProWindow->SelectLine(0);
    MainForm->ProjectRemove->trigger();
    EXPECT_EQ(ReadAll(dir / "work/p.pro"),
              kNewProject + "[FILES]\nCount=2\nFile0=" + (dir / "lib/b.inc").string() + "\nFile1=c.asm\n");
    EXPECT_EQ(ProWindow->SelectedLine(), 0);

    ProWindow->SelectLine(-1);
    MainForm->ProjectRemove->trigger();  // nothing selected: nothing happens
    EXPECT_EQ(entries().size(), 2);
    MainForm->ProjectRemove->trigger();
    EXPECT_EQ(entries().size(), 2);
    ProWindow->SelectLine(1);
    MainForm->ProjectRemove->trigger();
    MainForm->ProjectRemove->trigger();
    EXPECT_TRUE(entries().isEmpty());
    EXPECT_EQ(ProWindow->SelectedLine(), -1);
    EXPECT_EQ(ReadAll(dir / "work/p.pro"), kNewProject + "[FILES]\nCount=0\n");
}

TEST_F(ProjectCommands, OptionsRoundTripThroughTheFileAndCancelChangesNothing) {
    newProject("work/p.pro");
    mpasm([](TMPASMDlg& d) {
        d.CBCross->setChecked(true);
        d.RGRadix->item(1)->setChecked(true);
        d.RGWarning->item(3)->setChecked(true);
        d.RGOutput->item(3)->setChecked(true);
        d.RGMacro->item(2)->setChecked(true);
        d.CBCase->setChecked(true);
        d.CBProcessor->setCurrentText("16F84");
        d.EAdditional->setText("/dDEBUG");
    });
    MainForm->ProjectOptions->trigger();
    std::string written = ReadAll(dir / "work/p.pro");
    EXPECT_EQ(MPASMDlg->CommandLineOptions(), " /q /e+ /l+ /x+ /rhex /w2 /aINHX32 /m- /c+ /dDEBUG /p16F84 ");

    mpasm([](TMPASMDlg& d) { d.CBList->setChecked(false); }, false);
    MainForm->ProjectOptions->trigger();
    EXPECT_EQ(ReadAll(dir / "work/p.pro"), written);
    EXPECT_TRUE(MPASMDlg->Options.ListFile);
    prompter.willShowModal("MPASMDlg", [](QDialog& d) {
        EXPECT_TRUE(static_cast<TMPASMDlg&>(d).CBList->isChecked());  // the old value shows again
        return int(QDialog::Rejected);
    });
    MainForm->ProjectOptions->trigger();

    MainForm->ProjectClose->trigger();
    open("work/p.pro");
    EXPECT_EQ(MPASMDlg->CommandLineOptions(), " /q /e+ /l+ /x+ /rhex /w2 /aINHX32 /m- /c+ /dDEBUG /p16F84 ");
}

TEST_F(ProjectCommands, AStoredLowerCaseProcessorSelectsItsEntryAndIsStoredAsListed) {
    WriteAll(dir / "work/p.pro", "[PROJECT]\nFormat=MPASM\n[MPASM]\nProcessor=16f84\n");
    open("work/p.pro");
    mpasm([](TMPASMDlg& d) { EXPECT_EQ(d.CBProcessor->currentText(), "16F84"); });
    MainForm->ProjectOptions->trigger();
    EXPECT_EQ(ProfileFile(dir / "work/p.pro").ReadString("MPASM", "Processor", ""), "16F84");
}

TEST_F(ProjectCommands, AFailedWriteIsReportedAndTheListAndOptionsStayAsTheFileHasThem) {
    newProject("work/p.pro");
    add("work/a.asm");
    // the project file became something that cannot be read, so it is not overwritten
    std::filesystem::rename(dir / "work/p.pro", dir / "work/saved.pro");
    std::filesystem::create_directory(dir / "work/p.pro");
    QString cannot = "Cannot read " + path("work/p.pro") + ": Is a directory";
    prompter.willChooseFile(path("work/b.asm"));
    prompter.expectError(cannot);
    MainForm->ProjectAdd->trigger();
    EXPECT_EQ(entries(), QStringList{"a.asm"});
    EXPECT_EQ(ProWindow->SelectedLine(), 0);
    prompter.expectError(cannot);
    MainForm->ProjectRemove->trigger();
    EXPECT_EQ(entries(), QStringList{"a.asm"});
    EXPECT_EQ(ProWindow->SelectedLine(), 0);
    mpasm([](TMPASMDlg& d) { d.CBCase->setChecked(true); });
    prompter.expectError(cannot);
    MainForm->ProjectOptions->trigger();
    EXPECT_FALSE(MPASMDlg->Options.CaseSensitive);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "work/p.pro"));
    EXPECT_EQ(ReadAll(dir / "work/saved.pro"), kNewProject + "[FILES]\nCount=1\nFile0=a.asm\n");
}

}  // namespace

namespace {

TEST_F(ProjectCommands, AProjectLargerThanTheListKeepsTheEntriesItDoesNotShow) {
    std::string text = "[PROJECT]\nFormat=MPASM\n[FILES]\nCount=150000\n";
    for (int i = 0; i < 150000; ++i)
        text += "File" + std::to_string(i) + "=f" + std::to_string(i) + ".asm\n";
    WriteAll(dir / "work/big.pro", text);
    prompter.willChooseFile(path("work/big.pro"));
    prompter.expectInformation(
        "The project file lists 150000 files; the first 100000 are shown, and the others are kept");
    MainForm->ProjectOpen->trigger();
    ASSERT_EQ(ProWindow->ProList->count(), kMaxProjectFiles);
    ProWindow->SelectLine(0);
    MainForm->ProjectRemove->trigger();  // a change rewrites the list
    TProjectFiles after = ReadProjectFiles(ProfileFile(dir / "work/big.pro"));
    ASSERT_EQ(after.listedCount, 149999);
    EXPECT_EQ(after.files.front(), "f1.asm");
    EXPECT_EQ(after.beyond.back(), "f149999.asm");
    EXPECT_TRUE(prompter.allAnswered());
}

}  // namespace
