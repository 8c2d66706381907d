// SPDX-License-Identifier: GPL-3.0-or-later
// Driving the program from the main window: breakpoints with conditions from the gutter, the register
// windows and the Breakpoints window, kept in the project; pins clicked in the Pins window; Real Time.
#include "SimulateFixture.h"

#include "debugger/BreakpointsWindow.h"
#include "debugger/PinsWindow.h"
#include "debugger/SfrWindow.h"
#include "editctl/Document.h"
#include "gpsim/GpsimAnswers.h"
#include "platform/ProfileFile.h"

#include <QApplication>
#include <QInputDialog>
#include <QMenu>
#include <QTimer>

namespace {

using namespace simulate_fixture;

constexpr uint32_t kPortA = 0x05, kCount = 0x0C;

class Drive : public Simulate {
  protected:
    void SetUp() override {
        Simulate::SetUp();
        if (IsSkipped())
            return;
        fs::copy_file(kGpsimData / "drive84a.asm", dir / "drive84a.asm");
        openProject("drive84a.asm", "", "16F84A");
        QString error;
        source = korvex->documents.open(Q(dir / "drive84a.asm"), &error);
        ASSERT_TRUE(source) << error.toStdString();
    }
    SourceLine line(int number) { return {Q(dir / "drive84a.asm"), number}; }
    int memory(uint32_t address) { return session().lastStop().memory.at(address); }
    std::string projectText() { return ReadAll(dir / "p.pro"); }
    // Chooses an item of the popup menu the next call opens, as the user would.
    void chooseInNextMenu(const QString& text) {
        QTimer::singleShot(50, [text] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_TRUE(menu) << "no menu";
            for (QAction* action : menu->actions())
                if (action->text() == text) {
                    menu->setActiveAction(action);
                    QTest::keyClick(menu, Qt::Key_Return);
                    return;
                }
            menu->close();
            FAIL() << "no item " << text.toStdString();
        });
    }
    void runAndExpectNoStop() {
        MainForm->SimulateRun->trigger();
        QTest::qWait(200);
        EXPECT_EQ(session().state(), SimSession::State::Running);
        MainForm->SimulateStop->trigger();
        settle();
    }
    TDocument* source = nullptr;
};

TEST_F(Drive, ABreakpointFromItsThirdHitIsDrawnAsSuchKeptAndStopsThere) {
    ASSERT_TRUE(MainForm->ToggleBreakpoint(source, 19));  // movwf Copy
    // the gutter's menu on the line: stop from the third hit on
    editor()->Memo->showDocument(source);
    prompter.willShowModal("FromHitDlg", [](QDialog& dialog) {
        static_cast<QInputDialog&>(dialog).setIntValue(3);
        return int(QDialog::Accepted);
    });
    chooseInNextMenu("Stop from &Hit...");
    MainForm->BreakpointMenu(editor(), 19, editor()->mapToGlobal(QPoint(4, 4)));
    EXPECT_EQ(source->gutterMark(19), TDocument::GutterMark::Conditional);
    EXPECT_EQ(source->lineStyle(19), kBreakPoint);
    EXPECT_NE(projectText().find("Breakpoint0=drive84a.asm,20\nHits0=3\n"), std::string::npos) << projectText();
    start();
    MainForm->SimulateRun->trigger();
    settle();
    EXPECT_EQ(marked(), "drive84a.asm:20");
    EXPECT_EQ(memory(kCount), 3);
    MainForm->SimulateBreakpoints->trigger();
    QTableWidget* table = MainForm->BreakpointsWindow->findChild<QTableWidget*>("BreakpointsTable");
    ASSERT_TRUE(table);
    ASSERT_EQ(table->rowCount(), 1);
    EXPECT_EQ(table->item(0, 2)->text(), "from hit 3");
    EXPECT_EQ(table->item(0, 3)->text(), "3");
    // switched off in the gutter's menu: a ring, no colour, and the run goes past it
    chooseInNextMenu("Switch &Off");
    MainForm->BreakpointMenu(editor(), 19, editor()->mapToGlobal(QPoint(4, 4)));
    EXPECT_EQ(source->gutterMark(19), TDocument::GutterMark::Disabled);
    EXPECT_EQ(table->item(0, 0)->checkState(), Qt::Unchecked);
    runAndExpectNoStop();
    EXPECT_NE(source->lineStyle(19), kBreakPoint);
    // the project remembers both, and a project opened again has them
    EXPECT_NE(projectText().find("Hits0=3\nOff0=1\n"), std::string::npos) << projectText();
    MainForm->SimulateEnd->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!session().active(), 10000);
    MainForm->ProjectClose->trigger();
    EXPECT_EQ(source->gutterMark(19), TDocument::GutterMark::None);
    prompter.willChooseFile(Q(dir / "p.pro"));
    MainForm->ProjectOpen->trigger();
    EXPECT_EQ(source->gutterMark(19), TDocument::GutterMark::Disabled);
    EXPECT_EQ(MainForm->OptionsOf(line(20)).fromHit, 3);
}

TEST_F(Drive, ABreakpointMovesWithItsLineAndKeepsItsCondition) {
    ASSERT_TRUE(MainForm->ToggleBreakpoint(source, 19));
    MainForm->SetBreakpointFromHit(line(20), 4);
    editor()->Memo->showDocument(source);
    source->buffer()->insertAt("; a new first line\n", 0, 0);
    ASSERT_TRUE(MainForm->FileSave->isEnabled());
    MainForm->FileSave->trigger();
    EXPECT_EQ(MainForm->breakpoints, (std::set<SourceLine>{line(21)}));
    EXPECT_EQ(MainForm->OptionsOf(line(21)).fromHit, 4);
    EXPECT_EQ(source->gutterMark(20), TDocument::GutterMark::Conditional);
}

TEST_F(Drive, ABreakpointMovedByEditsNotYetSavedIsTheOneAClickOnItsMarkRemoves) {
    ASSERT_TRUE(MainForm->ToggleBreakpoint(source, 19));
    editor()->Memo->showDocument(source);
    source->buffer()->insertAt("; a new first line\n", 0, 0);
    ASSERT_EQ(source->gutterMark(20), TDocument::GutterMark::Breakpoint);  // the mark went down with its line
    // a click on the line its mark now stands on takes it away, and leaves nothing behind on the line it had
    ASSERT_TRUE(MainForm->ToggleBreakpoint(source, 20));
    EXPECT_TRUE(MainForm->breakpoints.empty());
    EXPECT_EQ(source->gutterMark(20), TDocument::GutterMark::None);
    EXPECT_EQ(source->nextLineWithGutterMark(0), -1);
    MainForm->FileSave->trigger();
    EXPECT_TRUE(MainForm->breakpoints.empty());
    // one set on the line the moved breakpoint was numbered by: both are kept, each where its mark is
    ASSERT_TRUE(MainForm->ToggleBreakpoint(source, 20));
    source->buffer()->insertAt("; another\n", 0, 0);
    ASSERT_TRUE(MainForm->ToggleBreakpoint(source, 20));
    MainForm->FileSave->trigger();
    EXPECT_EQ(MainForm->breakpoints, (std::set<SourceLine>{line(21), line(22)}));
    EXPECT_EQ(source->gutterMark(20), TDocument::GutterMark::Breakpoint);
    EXPECT_EQ(source->gutterMark(21), TDocument::GutterMark::Breakpoint);
}

TEST_F(Drive, ARegisterBreakpointFromTheSfrWindowStopsWhereGpsimAloneStops) {
    start();
    MainForm->SimulateSfr->trigger();
    QTableWidget* table = MainForm->SfrWindow->Table;
    int porta = -1;
    for (int row = 0; row < table->rowCount(); ++row)
        if (table->item(row, 1) && table->item(row, 1)->text() == "PORTA")
            porta = row;
    ASSERT_GE(porta, 0);
    table->setCurrentCell(porta, 1);
    QAction* breakOnWrite = nullptr;
    for (QAction* action : MainForm->SfrWindow->RowMenu->actions())
        if (action->text() == "Break on &Write")
            breakOnWrite = action;
    ASSERT_TRUE(breakOnWrite);
    breakOnWrite->trigger();
    EXPECT_NE(projectText().find("RegisterCount=1\nRegister0=write,PORTA\n"), std::string::npos) << projectText();
    EXPECT_TRUE(MainForm->BreakpointsWindow->isVisible());
    MainForm->SimulateRun->trigger();
    settle();
    // gpsim on its own, with the same command, stops at the same place
    std::vector<std::string> alone = GpsimAlone(dir.path(), {"processor p16f84", "load drive84a.cod", "break w 0x5", "run", "x", "cycles"});
    ASSERT_TRUE(ParseExamine(alone[4]));
    EXPECT_EQ(session().lastStop().pc, ParseExamine(alone[4])->pc);
    EXPECT_EQ(session().lastStop().cycles, ParseCycles(alone[5]));
    // switched off in the Breakpoints window: the run goes on
    QTableWidget* list = MainForm->BreakpointsWindow->findChild<QTableWidget*>("BreakpointsTable");
    ASSERT_EQ(list->rowCount(), 1);
    list->item(0, 0)->setCheckState(Qt::Unchecked);
    EXPECT_NE(projectText().find("Register0=write,PORTA,off\n"), std::string::npos) << projectText();
    runAndExpectNoStop();
    // a name the program does not know is kept, and the user told
    emit MainForm->BreakpointsWindow->registerAdded({TRegisterBreakpoint::Kind::Read, "Nothere", 0, true});
    EXPECT_EQ(list->rowCount(), 2);
    EXPECT_TRUE(editor()->statusText(5).startsWith("Nothere is no register of the running program"))
        << editor()->statusText(5).toStdString();
}

TEST_F(Drive, AnInputPinClickedInThePinsWindowIsWhatTheProgramReads) {
    start();
    MainForm->SimulatePins->trigger();
    for (int i = 0; i < 12; ++i)
        MainForm->SimulateStepInto->trigger(), settle();
    EXPECT_EQ(memory(kPortA) & 1, 0);
    TPinLamps* lamps = MainForm->PinsWindow->Lamps;
    // PORTB's row, its last lamp: RB0
    size_t row = 0;
    while (row < lamps->ports().size() && lamps->ports()[row].port != "PORTB")
        ++row;
    ASSERT_LT(row, lamps->ports().size());
    size_t rb0 = lamps->ports()[row].pins.size() - 1;
    ASSERT_EQ(lamps->ports()[row].pins[rb0].bit, 0);
    QTest::mouseClick(lamps, Qt::LeftButton, {}, lamps->LampRect(row, rb0).center());
    settle();
    EXPECT_EQ(session().pinLevel({"PORTB", 0}), SimSession::Level::High);
    EXPECT_TRUE(lamps->ports()[row].pins[rb0].high);  // the port read again shows it
    for (int i = 0; i < 9; ++i)
        MainForm->SimulateStepInto->trigger(), settle();
    EXPECT_EQ(memory(kPortA) & 1, 1) << "RA0 follows RB0";
    // a step back meets the click again at its place
    MainForm->SimulateStepBack->trigger();
    settle();
    EXPECT_EQ(session().pinLevel({"PORTB", 0}), SimSession::Level::High);
}

TEST_F(Drive, RealTimeIsAToggleTheSessionFollows) {
    start();
    EXPECT_FALSE(MainForm->SimulateRealTime->isChecked());
    MainForm->SimulateRealTime->trigger();
    EXPECT_TRUE(MainForm->SimulateRealTime->isChecked());
    EXPECT_TRUE(session().realTime());
    // the project's clock is 4 MHz: a second of wall time is about a million cycles, not gpsim's tens of millions
    uint64_t from = session().lastStop().cycles;
    MainForm->SimulateRun->trigger();
    QTest::qWait(500);
    MainForm->SimulateStop->trigger();
    settle();
    EXPECT_LT(session().lastStop().cycles - from, 1'000'000u);
    MainForm->SimulateRealTime->trigger();
    EXPECT_FALSE(session().realTime());
}

}  // namespace
