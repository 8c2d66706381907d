// SPDX-License-Identifier: GPL-3.0-or-later
// Project > Simulate as the user meets it: the build first, the marked line, breakpoints in the gutter and in
// the project file, the registers window, and quitting while a session runs.
#include "shell/Main.h"

#include "SimulateFixture.h"
#include "ScriptedPrompter.h"
#include "editctl/DocumentManager.h"
#include "editctl/Memo.h"
#include "editor/MyEditUnit.h"
#include "gpsim/SimSession.h"
#include "shell/Idefunction.h"
#include "shell/ProW.h"
#include "debugger/RegistersWindow.h"
#include "debugger/SfrWindow.h"
#include "shell/SimOptions.h"
#include "shell/Startup.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QDoubleSpinBox>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QListView>
#include <QTableWidget>
#include <QTest>
#include "GTestQTry.h"
#include <QTimer>

#include <filesystem>

#include <signal.h>

namespace {

using namespace simulate_fixture;
namespace fs = std::filesystem;

TEST_F(Simulate, BuildsFirstThenMarksTheFirstLineAndShowsTheRegisters) {
    openProject("main877a.asm");
    EXPECT_FALSE(fs::exists(dir / "main877a.cod"));
    start();
    EXPECT_TRUE(fs::exists(dir / "main877a.cod"));
    EXPECT_EQ(marked(), "main877a.asm:8");
    EXPECT_TRUE(MainForm->RegistersWindow->isVisible());
    EXPECT_EQ(registerValue("value"), "0x00 (0)");
    EXPECT_TRUE(MainForm->SimulateStepInto->isEnabled());
    EXPECT_FALSE(MainForm->SimulateStop->isEnabled());
    EXPECT_FALSE(MainForm->ProjectSimulate->isEnabled());
    EXPECT_FALSE(MainForm->DebugTraceInto->isEnabled());  // the Debug menu is not this
}

TEST_F(Simulate, StepsIntoTheIncludeAndBackWithTheLineMarked) {
    openProject("main877a.asm");
    start();
    for (int i = 0; i < 3; ++i) {
        MainForm->SimulateStepInto->trigger();  // goto start, movlw 0x03, movwf value
        settle();
    }
    EXPECT_EQ(marked(), "main877a.asm:12");
    EXPECT_EQ(registerValue("value"), "0x03 (3)");
    EXPECT_TRUE(registerChanged("value"));
    EXPECT_FALSE(registerChanged("W"));
    MainForm->SimulateStepInto->trigger();  // call double
    settle();
    EXPECT_EQ(marked(), "sub.inc:2");  // the include was opened
    // the strip's read-outs show the session's figures, not the built-in simulator's
    EXPECT_EQ(MainForm->LabelPC->text(), "0016");
    EXPECT_EQ(MainForm->LabelW->text(), "03");
    EXPECT_EQ(MainForm->LabelStack->text(), "1");
    EXPECT_EQ(registerValue("Stack depth"), "1");
    EXPECT_EQ(document("main877a.asm")->lineStyle(11), 0);  // the old mark went
    MainForm->SimulateStepOver->trigger();                  // movf value, w
    settle();
    MainForm->SimulateStepOver->trigger();  // addwf value, w
    settle();
    EXPECT_EQ(registerValue("W"), "0x06 (6)");
    MainForm->SimulateStepInto->trigger();  // return
    settle();
    EXPECT_EQ(marked(), "main877a.asm:13");
    EXPECT_EQ(registerValue("Stack depth"), "0");
}

TEST_F(Simulate, GutterBreakpointStopsARunAndIsKeptInTheProjectFile) {
    openProject("main877a.asm");
    start();
    TDocument* main = document("main877a.asm");
    ASSERT_TRUE(main);
    clickGutter(4);  // value equ 0x20: no code
    EXPECT_EQ(main->lineStyle(4), 0);
    EXPECT_EQ(editor()->statusText(5), "Line 5 holds no instruction: a breakpoint needs one");
    clickGutter(13);  // incf value, f
    EXPECT_EQ(main->lineStyle(13), kBreakPoint);
    std::string project = ReadAll(dir / "p.pro");
    EXPECT_NE(project.find("[BREAKPOINTS]\nCount=1\nBreakpoint0=main877a.asm,14\n"), std::string::npos)
        << project;
    EXPECT_NE(project.find("[FILES]\nCount=1\nFile0=main877a.asm\n"), std::string::npos);
    MainForm->SimulateRun->trigger();
    settle();
    EXPECT_EQ(marked(), "main877a.asm:14");
    EXPECT_EQ(registerValue("result"), "0x06 (6)");
    EXPECT_EQ(registerValue("Stack depth"), "unknown after a run");
    // Run again: the endless loop runs until Stop
    MainForm->SimulateRun->trigger();
    EXPECT_EQ(marked(), "(no mark)");  // running, the program stands on no line
    EXPECT_EQ(editor()->statusText(5), "Running... (Stop: F6)");
    EXPECT_TRUE(MainForm->SimulateStop->isEnabled());
    EXPECT_FALSE(MainForm->SimulateStepInto->isEnabled());
    MainForm->SimulateStop->trigger();
    settle();
    EXPECT_EQ(marked(), "main877a.asm:15");
    EXPECT_EQ(main->lineStyle(13), kBreakPoint);  // the breakpoint shows again once the mark moved on
    EXPECT_EQ(registerValue("value"), "0x04 (4)");
}

TEST_F(Simulate, TheRegistersWindowKeepsItsPlaceAndTheReadOutsGoBackAtTheEnd) {
    openProject("main877a.asm");
    MainForm->ShowProcessorState();
    QString builtIn = MainForm->LabelPC->text() + " " + MainForm->LabelStack->text();
    start();
    MainForm->SimulateRun->trigger();
    MainForm->SimulateStop->trigger();
    settle();
    EXPECT_EQ(MainForm->LabelStack->text(), "?");  // gpsim does not say after a run
    MainForm->RegistersWindow->move(100, 200);
    MainForm->RegistersWindow->resize(300, 350);
    MainForm->SimulateSfr->trigger();  // left open when Korvex ends
    MainForm->SfrWindow->move(120, 220);
    MainForm->SfrWindow->resize(500, 300);
    MainForm->SimulateEnd->trigger();
    QTRY_VERIFY(!session().active());
    EXPECT_EQ(MainForm->LabelPC->text() + " " + MainForm->LabelStack->text(), builtIn);
    EXPECT_NE(ReadAll(dir / "config/user.ini").find("\"Geometry\"=\"100,200,300,350\""), std::string::npos)
        << ReadAll(dir / "config/user.ini");
    // a new Korvex puts the window where it was
    korvex.reset();
    korvex = std::make_unique<TKorvex>(dir / "config", prompter);
    korvex->settings.AssemblerPath = KORVEX_BINARY_DIR "/tools/mpasmwin/MPASMWIN.EXE";
    korvex->settings.AssemblerFileName = "MPASMWIN.EXE";
    openProject("main877a.asm");
    start();
    EXPECT_EQ(MainForm->RegistersWindow->frameGeometry().topLeft(), QPoint(100, 200));
    EXPECT_EQ(MainForm->RegistersWindow->size(), QSize(300, 350));
    EXPECT_TRUE(MainForm->SfrWindow->placed());
    EXPECT_EQ(MainForm->SfrWindow->frameGeometry().topLeft(), QPoint(120, 220));
    EXPECT_EQ(MainForm->SfrWindow->size(), QSize(500, 300));
}

TEST_F(Simulate, BreakpointsSurviveTheSessionAndTheProjectsOtherWrites) {
    openProject("main877a.asm", "[BREAKPOINTS]\nCount=1\nBreakpoint0=sub.inc,3\n");
    start();
    MainForm->SimulateRun->trigger();
    settle();
    EXPECT_EQ(marked(), "sub.inc:3");
    EXPECT_EQ(registerValue("W"), "0x03 (3)");
    MainForm->SimulateEnd->trigger();
    QTRY_VERIFY(!session().active());
    EXPECT_EQ(document("sub.inc")->lineStyle(2), kBreakPoint);
    EXPECT_FALSE(MainForm->RegistersWindow->isVisible());
    // adding a file rewrites the file list; the breakpoints stay
    prompter.willChooseFile(Q(dir / "sub.inc"));
    MainForm->ProjectAdd->trigger();
    EXPECT_NE(ReadAll(dir / "p.pro").find("Breakpoint0=sub.inc,3"), std::string::npos);
    start();  // a second session stops at the same breakpoint
    MainForm->SimulateRun->trigger();
    settle();
    EXPECT_EQ(marked(), "sub.inc:3");
}

TEST_F(Simulate, BreakpointsMoveWithTheLinesOfASavedEdit) {
    openProject("main877a.asm", "[BREAKPOINTS]\nCount=1\nBreakpoint0=main877a.asm,14\n");
    QString error;
    TDocument* main = korvex->documents.open(Q(dir / "main877a.asm"), &error);
    ASSERT_TRUE(main);
    EXPECT_EQ(main->lineStyle(13), kBreakPoint);
    main->buffer()->insertAt("        nop\n", 9, 0);  // a line more above it, before "start"
    EXPECT_EQ(main->lineStyle(14), kBreakPoint);
    ASSERT_TRUE(korvex->documents.save(main));
    EXPECT_NE(ReadAll(dir / "p.pro").find("Breakpoint0=main877a.asm,15\n"), std::string::npos);
    start();  // built again, and the breakpoint is on the moved instruction
    MainForm->SimulateRun->trigger();
    settle();
    EXPECT_EQ(marked(), "main877a.asm:15");
}

TEST_F(Simulate, AChangedSourceIsBuiltAgainAndABuildWithErrorsStops) {
    openProject("main877a.asm");
    start();
    MainForm->SimulateEnd->trigger();
    QTRY_VERIFY(!session().active());
    WriteAll(dir / "sub.inc", ReadAll(kGpsimData / "sub.inc") + "        bogus   1\n");
    fs::last_write_time(dir / "sub.inc", fs::last_write_time(dir / "main877a.cod") + std::chrono::seconds(2));
    MainForm->ProjectSimulate->trigger();
    EXPECT_FALSE(session().active());
    EXPECT_GT(ProWindow->MessageList->model()->rowCount(), 0);
}

// Two blank lines at the top of the main file, saved.
void InsertTwoLinesAtTheTop(DocumentManager& documents, TDocument* main) {
    main->buffer()->insertAt("\n\n", 0, 0);
    ASSERT_TRUE(documents.save(main));
}

TEST_F(Simulate, AnEditSavedDuringTheSessionIsBuiltAndTheStepRunsTheNewProgram) {
    openProject("main877a.asm");
    start();
    MainForm->SimulateStepInto->trigger();  // goto start
    settle();
    EXPECT_EQ(marked(), "main877a.asm:10");
    TDocument* main = document("main877a.asm");
    InsertTwoLinesAtTheTop(korvex->documents, main);
    // the text on screen is what the gutter goes by: "incf value, f" is now line 16
    clickGutter(15);
    EXPECT_EQ(main->lineStyle(15), kBreakPoint);
    MainForm->SimulateStepInto->trigger();  // built again, restarted, then the new program's goto start
    settle();
    ASSERT_EQ(session().state(), SimSession::State::Stopped);
    EXPECT_EQ(marked(), "main877a.asm:12");
    EXPECT_EQ(session().lastStop().cycles, 2u);
    int marks = 0;
    for (int line = 0; line < main->lineCount(); ++line)
        marks += main->lineStyle(line) == kExecutionPoint;
    EXPECT_EQ(marks, 1);
    EXPECT_EQ(editor()->statusText(5),
              "The program changed: built again, simulation restarted. Stopped at PC=0010, cycle 2");
    EXPECT_TRUE(MainForm->RegistersWindow->Note->text().startsWith("The program changed"));
    // the breakpoint set on the new text is set in the new program
    MainForm->SimulateRun->trigger();
    settle();
    EXPECT_EQ(marked(), "main877a.asm:16");
    // Build during the session starts it again on what was built
    MainForm->ProjectBuild->trigger();
    settle();
    EXPECT_EQ(marked(), "main877a.asm:10");
    EXPECT_EQ(session().lastStop().cycles, 0u);
    MainForm->SimulateEnd->trigger();
    QTRY_VERIFY(!session().active());
    EXPECT_EQ(editor()->statusText(5), "");  // "Stopped at" went with the session
    EXPECT_EQ(marked(), "(no mark)");
}

TEST_F(Simulate, ABrokenSaveEndsTheSessionAtTheNextStepWithItsMessages) {
    openProject("main877a.asm");
    start();
    TDocument* main = document("main877a.asm");
    main->buffer()->insertAt("        bogus   1\n", 9, 0);
    ASSERT_TRUE(korvex->documents.save(main));
    MainForm->SimulateStepOver->trigger();
    QTRY_VERIFY(!session().active());
    EXPECT_GT(ProWindow->MessageList->model()->rowCount(), 0);
    EXPECT_FALSE(MainForm->RegistersWindow->isVisible());
    // gpasm wrote a .cod all the same, newer than every source: the failed build is not simulated
    fs::last_write_time(dir / "main877a.cod", fs::last_write_time(dir / "main877a.asm") + std::chrono::seconds(2));
    MainForm->ProjectSimulate->trigger();
    EXPECT_FALSE(session().active());
    // nor by a Korvex started afresh, which reads the error file the build left
    korvex.reset();
    korvex = std::make_unique<TKorvex>(dir / "config", prompter);
    korvex->settings.AssemblerPath = KORVEX_BINARY_DIR "/tools/mpasmwin/MPASMWIN.EXE";
    korvex->settings.AssemblerFileName = "MPASMWIN.EXE";
    openProject("main877a.asm");
    fs::last_write_time(dir / "main877a.cod", fs::last_write_time(dir / "main877a.asm") + std::chrono::seconds(2));
    MainForm->ProjectSimulate->trigger();
    EXPECT_FALSE(session().active());
    EXPECT_GT(ProWindow->MessageList->model()->rowCount(), 0);
}

TEST_F(Simulate, BuildSucceededGoesWhenTheTextChanges) {
    openProject("main877a.asm", "", "");  // the source names its processor: a build without messages
    QString error;
    TDocument* main = korvex->documents.open(Q(dir / "main877a.asm"), &error);
    ASSERT_TRUE(main);
    MainForm->ProjectBuild->trigger();
    EXPECT_EQ(editor()->statusText(5), "Build succeeded: main877a.hex");
    main->buffer()->insertAt("; later\n", 0, 0);
    EXPECT_EQ(editor()->statusText(5), "");
}

TEST_F(Simulate, AGpsimThatDoesNotAnswerIsSaidAndTheSessionCanBeEnded) {
    openProject("main877a.asm");
    session().setProgram(KORVEX_SOURCE_DIR "/tests/gpsim/standins/silent");
    session().setAnswerBounds(50, 60000);
    MainForm->ProjectSimulate->trigger();
    QTRY_COMPARE(editor()->statusText(5), QString("Waiting for gpsim… (End Session: Ctrl+F2)"));
    ASSERT_TRUE(MainForm->SimulateEnd->isEnabled());
    MainForm->SimulateEnd->trigger();
    QTRY_VERIFY(!session().active());
    EXPECT_EQ(editor()->statusText(5), "");
    EXPECT_TRUE(MainForm->ProjectSimulate->isEnabled());
}

TEST_F(Simulate, TheProjectsClockTimesTheRunAndTheStopwatchIsZeroedByTheUser) {
    openProject("main877a.asm");
    start();
    EXPECT_EQ(registerValue("Time"), "0 ns at 4 MHz");  // the examples' crystal, not gpsim's 20 MHz
    MainForm->SimulateStepInto->trigger();              // goto start: 2 cycles of 1 µs
    settle();
    EXPECT_EQ(registerValue("Stopwatch"), "2 cycles, 2 µs");
    QTest::mouseClick(MainForm->RegistersWindow->ZeroStopwatch, Qt::LeftButton);
    EXPECT_EQ(registerValue("Stopwatch"), "0 cycles, 0 ns");
    MainForm->SimulateStepInto->trigger();
    settle();
    EXPECT_EQ(registerValue("Stopwatch"), "1 cycle, 1 µs");
    // Simulate > Options: a 32.768 kHz watch crystal, kept in the project file for the next start
    prompter.willShowModal("SimOptionsDlg", [](QDialog& dialog) {
        static_cast<TSimOptionsDlg&>(dialog).ClockMHz->setValue(0.032768);
        return int(QDialog::Accepted);
    });
    MainForm->SimulateOptions->trigger();
    std::string project = ReadAll(dir / "p.pro");
    EXPECT_NE(project.find("[SIMULATE]\nClock=32768\n[FILES]"), std::string::npos) << project;
    MainForm->SimulateEnd->trigger();
    QTRY_VERIFY(!session().active());
    start();
    EXPECT_EQ(session().lastStop().clockHz, 32768.0);
    EXPECT_TRUE(registerValue("Time").endsWith("at 32.768 kHz"));
}

// A row of the special function registers window: "Name | Hex | Bits".
QString SfrRow(const QString& name) {
    QTableWidget* table = MainForm->SfrWindow->Table;
    for (int row = 0; row < table->rowCount(); ++row)
        if (table->item(row, 1)->text() == name)
            return name + " | " + table->item(row, 2)->text() + " | " + table->item(row, 5)->text();
    return "(no row " + name + ")";
}

bool SfrChanged(const QString& name) {
    QTableWidget* table = MainForm->SfrWindow->Table;
    for (int row = 0; row < table->rowCount(); ++row)
        if (table->item(row, 1)->text() == name)
            return table->item(row, 2)->font().bold();
    return false;
}

TEST_F(Simulate, TheSpecialFunctionRegistersFollowTheStepsAndAWrittenValueIsWhatTheProgramReads) {
    WriteAll(dir / "sfr.asm",
             "        list    p=16f877a\n        include <p16f877a.inc>\n        org     0\n"
             "        bsf     STATUS, RP0\n        clrf    TRISB\n        bcf     STATUS, RP0\n"
             "        movlw   0x55\n        movwf   PORTB\n        movf    PORTB, W\nloop    goto    loop\n"
             "        end\n");
    openProject("sfr.asm");
    start();
    MainForm->SimulateSfr->trigger();
    ASSERT_TRUE(MainForm->SfrWindow->isVisible());
    EXPECT_EQ(SfrRow("STATUS"), "STATUS | 0x18 | IRP=0 RP1=0 RP0=0 /TO=1 /PD=1 Z=0 DC=0 C=0");
    EXPECT_EQ(SfrRow("TRISB"), "TRISB | 0xFF | TRISB7=1 TRISB6=1 TRISB5=1 TRISB4=1 TRISB3=1 TRISB2=1 TRISB1=1 TRISB0=1");
    auto step = [this] {
        MainForm->SimulateStepInto->trigger();
        settle();
    };
    step();  // bsf STATUS, RP0
    EXPECT_EQ(SfrRow("STATUS"), "STATUS | 0x38 | IRP=0 RP1=0 RP0=1 /TO=1 /PD=1 Z=0 DC=0 C=0");
    step();  // clrf TRISB
    EXPECT_TRUE(SfrRow("TRISB").startsWith("TRISB | 0x00 |"));
    EXPECT_TRUE(SfrChanged("TRISB"));  // what the step changed stands out
    EXPECT_FALSE(SfrChanged("PORTB"));
    for (int i = 0; i < 3; ++i)
        step();  // bcf STATUS, RP0; movlw 0x55; movwf PORTB
    EXPECT_EQ(SfrRow("PORTB"), "PORTB | 0x55 | RB7=0 RB6=1 RB5=0 RB4=1 RB3=0 RB2=1 RB1=0 RB0=1");
    // a double-click on PORTB writes 0x0F through gpsim; the next instruction reads it
    QTableWidget* table = MainForm->SfrWindow->Table;
    int portb = -1;
    for (int row = 0; row < table->rowCount(); ++row)
        if (table->item(row, 1)->text() == "PORTB")
            portb = row;
    ASSERT_GE(portb, 0);
    prompter.willShowModal("WriteRegisterDlg", [](QDialog& dialog) {
        static_cast<QInputDialog&>(dialog).setTextValue("0x0F");
        return int(QDialog::Accepted);
    });
    emit table->cellDoubleClicked(portb, 2);
    settle();
    EXPECT_TRUE(SfrRow("PORTB").startsWith("PORTB | 0x0F |"));
    step();  // movf PORTB, W
    EXPECT_EQ(registerValue("W"), "0x0F (15)");
    EXPECT_EQ(ParseByte("0b00001111"), 15);
    EXPECT_EQ(ParseByte("b'1010'"), 10);
    EXPECT_EQ(ParseByte("256"), -1);
    EXPECT_EQ(ParseByte("0xG1"), -1);
}

TEST_F(Simulate, The16F84ARunsWithANote) {
    openProject("count84a.asm", "", "16F84A");
    start();
    EXPECT_EQ(MainForm->RegistersWindow->Note->text(),
              "gpsim has no PIC16F84A; the program runs on the compatible PIC16F84.");
    EXPECT_EQ(registerValue("counter"), "0x00 (0)");
}

TEST_F(Simulate, GpsimMissingIsAClearMessage) {
    openProject("main877a.asm");
    session().setProgram(Q(dir / "no-gpsim"));
    prompter.expectError("gpsim could not be started (" + Q(dir / "no-gpsim") +
                         "). Install it with scripts/bootstrap (Debian package gpsim).");
    MainForm->ProjectSimulate->trigger();
    QTRY_VERIFY(!session().active());
    EXPECT_TRUE(MainForm->ProjectSimulate->isEnabled());
    EXPECT_FALSE(MainForm->SimulateEnd->isEnabled());
}

TEST_F(Simulate, FileExitEndsWhileARunGoesOn) {
    openProject("main877a.asm");
    start();
    MainForm->SimulateRun->trigger();
    qint64 gpsim = session().processId();
    ASSERT_GT(gpsim, 0);
    prompter.willConfirm("Do you want to quit Korvex?", true);
    QTimer::singleShot(0, MainForm, [] { MainForm->FileExit->trigger(); });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    watchdog.start(10000);
    EXPECT_EQ(korvex->exec(), 0);
    EXPECT_FALSE(session().active());
    EXPECT_NE(::kill(pid_t(gpsim), 0), 0);  // gpsim is gone
}

}  // namespace
