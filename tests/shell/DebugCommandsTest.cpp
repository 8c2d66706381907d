// SPDX-License-Identifier: GPL-3.0-or-later
// The Debug commands as a user meets them: Start, Trace Into and the read-outs they refresh.
#include "shell/Main.h"

#include "QtPrinters.h"
#include "ScriptedPrompter.h"
#include "TempDir.h"
#include "editor/MyEditUnit.h"
#include "shell/Idefunction.h"
#include "shell/Startup.h"
#include "sim/Pic14.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QLabel>
#include <QMenu>

#include <cstdlib>

namespace {

class DebugCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        sim::PicState = {};
    }
    void TearDown() override {
        korvex.reset();
        QLocale::setDefault(QLocale::system());
    }
    void start() { korvex = std::make_unique<TKorvex>(dir.path(), prompter); }
    // An editor window on a new document, as after File > New.
    TEditor* openEditor() {
        korvex->services.editors->Show(Documents->newDocument(), 2);
        return korvex->services.editors->first();
    }
    // What the read-outs show: "PC Stack W".
    static QString readOuts() {
        return MainForm->LabelPC->text() + " " + MainForm->LabelStack->text() + " " +
               MainForm->LabelW->text();
    }

    TempDir dir;
    ScriptedPrompter prompter;
    std::unique_ptr<TKorvex> korvex;
};

TEST_F(DebugCommands, TraceIntoRunsTheDemonstrationProgramStepByStep) {
    start();
    TEditor* editor = openEditor();
    sim::PicState.W = 0x5A;  // left over from earlier steps; Start does not touch it
    sim::PicState.Cycles = 1234565;
    MainForm->DebugStartClick();

    MainForm->DebugTraceIntoClick();  // GOTO 0x00A
    EXPECT_EQ(readOuts(), "000A 1 5A");
    EXPECT_EQ(editor->statusText(3), "Cycle = 1,234,567");

    const char* expected[][2] = {{"000B 1 01", "Cycle = 1,234,568"},   // MOVLW 0x01
                                 {"000C 1 01", "Cycle = 1,234,569"},   // SUBLW 0x02: W = 2 - 1
                                 {"000A 1 01", "Cycle = 1,234,571"}};  // GOTO 0x00A
    for (auto [labels, cycles] : expected) {
        MainForm->DebugTraceIntoClick();
        EXPECT_EQ(readOuts(), labels);
        EXPECT_EQ(editor->statusText(3), cycles);
    }
}

TEST_F(DebugCommands, StartAloneChangesNoReadOut) {
    start();
    TEditor* editor = openEditor();
    MainForm->DebugStartClick();
    MainForm->DebugTraceIntoClick();
    MainForm->DebugTraceIntoClick();
    MainForm->DebugStartClick();
    EXPECT_EQ(readOuts(), "000B 1 01");
    EXPECT_EQ(editor->statusText(3), "Cycle = 3");
    EXPECT_EQ(sim::PicState.PC, 0x000);
}

TEST_F(DebugCommands, WithoutEditorWindowTheLabelsStillFollowTheSteps) {
    start();
    ASSERT_EQ(korvex->services.editors->first(), nullptr);
    MainForm->DebugStartClick();
    MainForm->DebugTraceIntoClick();
    MainForm->DebugTraceIntoClick();
    EXPECT_EQ(readOuts(), "000B 1 01");
    EXPECT_EQ(sim::PicState.Cycles, 3u);
}

TEST_F(DebugCommands, WordWithoutOperationShowsTheSameStateAgain) {
    start();
    TEditor* editor = openEditor();
    sim::PicState.ProgMem[0x000] = 0x0064;  // CLRWDT: no operation here, PC stays
    sim::PicState.SP = 7;                   // the last of the eight slots: shown as 8
    sim::PicState.W = 0xFF;
    MainForm->DebugTraceIntoClick();
    MainForm->DebugTraceIntoClick();
    EXPECT_EQ(readOuts(), "0000 8 FF");
    EXPECT_EQ(editor->statusText(3), "Cycle = 0");
}

TEST(CycleText, ThousandsSeparatorOfTheLocaleOverTheWhole32BitRange) {
    QLocale english(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(TMainForm::CycleText(8, english), "Cycle = 8");
    EXPECT_EQ(TMainForm::CycleText(999, english), "Cycle = 999");
    EXPECT_EQ(TMainForm::CycleText(1000, english), "Cycle = 1,000");
    EXPECT_EQ(TMainForm::CycleText(1234567, english), "Cycle = 1,234,567");
    EXPECT_EQ(TMainForm::CycleText(4294967295u, english), "Cycle = 4,294,967,295");
    EXPECT_EQ(TMainForm::CycleText(4294967295u, QLocale(QLocale::German, QLocale::Germany)),
              "Cycle = 4.294.967.295");
    // a locale that leaves out separators by default still gets its own
    EXPECT_EQ(TMainForm::CycleText(16777216, QLocale::c()), "Cycle = 16,777,216");
}

TEST_F(DebugCommands, KorvexDebugInTheEnvironmentShowsTheMenu) {
    setenv("KORVEX_DEBUG", "0", 1);
    start();
    EXPECT_FALSE(MainForm->DebugMenu->menuAction()->isVisible());
    EXPECT_FALSE(MainForm->DebugTraceInto->isEnabled());
    korvex.reset();

    setenv("KORVEX_DEBUG", "1", 1);
    start();
    unsetenv("KORVEX_DEBUG");
    EXPECT_TRUE(MainForm->DebugMenu->menuAction()->isVisible());
    EXPECT_TRUE(MainForm->DebugTraceInto->isEnabled());
    MainForm->DebugStart->trigger();
    MainForm->DebugTraceInto->trigger();
    EXPECT_EQ(readOuts(), "000A 1 00");
}

}  // namespace
