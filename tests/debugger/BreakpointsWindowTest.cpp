// SPDX-License-Identifier: GPL-3.0-or-later
// The Breakpoints window as the user switches, removes and adds breakpoints in it, and a breakpoint asked
// for from a register's row.
#include "ScriptedPrompter.h"
#include "TempDir.h"
#include "debugger/BreakpointsWindow.h"
#include "debugger/SfrWindow.h"
#include "platform/Registry.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Kind = TRegisterBreakpoint::Kind;

class Breakpoints : public ::testing::Test {
  protected:
    void SetUp() override { show(); }
    // As the caller shows the list after every change.
    void show() {
        window.ShowBreakpoints(
            {{{"/work/blink/blink.asm", 12}, 3, true}, {{"/work/blink/blink.asm", 20}, 0, false}},
            {{Kind::Write, "PORTB", 0, true}, {Kind::Read, "0x0C", 0, true}},
            {{{"/work/blink/blink.asm", 12}, 2}});
    }
    QString cell(int row, int column) { return window.Table->item(row, column)->text(); }

    TempDir dir;
    Registry registry{dir.path()};
    ScriptedPrompter prompter;
    TBreakpointsWindow window{prompter, registry};
};

TEST_F(Breakpoints, ListsLinesThenRegistersWithConditionsAndHits) {
    ASSERT_EQ(window.Table->rowCount(), 4);
    EXPECT_EQ(cell(0, 1), "blink.asm:12");
    EXPECT_EQ(window.Table->item(0, 1)->toolTip(), "/work/blink/blink.asm");
    EXPECT_EQ(cell(0, 2), "from hit 3");
    EXPECT_EQ(cell(0, 3), "2");
    EXPECT_EQ(window.Table->item(1, 0)->checkState(), Qt::Unchecked);
    EXPECT_EQ(cell(1, 3), "");
    EXPECT_EQ(cell(2, 1), "PORTB");
    EXPECT_EQ(cell(2, 2), "written");
    EXPECT_EQ(cell(3, 2), "read");
}

TEST_F(Breakpoints, UncheckingOnSwitchesTheLineOff) {
    QSignalSpy enabled(&window, &TBreakpointsWindow::lineEnabled);
    window.Table->item(0, 0)->setCheckState(Qt::Unchecked);
    ASSERT_EQ(enabled.count(), 1);
    EXPECT_EQ(enabled[0][1].toBool(), false);
    show();  // no signal of its own
    EXPECT_EQ(enabled.count(), 1);
}

TEST_F(Breakpoints, DeleteRemovesTheRegisterOfTheRow) {
    QSignalSpy removed(&window, &TBreakpointsWindow::registerRemoved);
    window.Table->setCurrentCell(3, 1);
    QTest::keyClick(window.Table, Qt::Key_Delete);
    ASSERT_EQ(removed.count(), 1);
    EXPECT_EQ(removed[0][0].toInt(), 1);
}

TEST_F(Breakpoints, AddLineAddsAWriteOfAValue) {
    QSignalSpy added(&window, &TBreakpointsWindow::registerAdded);
    window.RegisterEdit->setText("Count");
    window.KindBox->setCurrentIndex(2);  // Written as
    EXPECT_TRUE(window.ValueEdit->isEnabled());
    window.ValueEdit->setText("5");
    window.AddButton->click();
    ASSERT_EQ(added.count(), 1);
    auto breakpoint = added[0][0].value<TRegisterBreakpoint>();
    EXPECT_EQ(breakpoint.name, "Count");
    EXPECT_EQ(breakpoint.kind, Kind::Equals);
    EXPECT_EQ(breakpoint.value, 5);
}

TEST_F(Breakpoints, AddLineRefusesANameOrValueItCannotBreakOn) {
    QSignalSpy added(&window, &TBreakpointsWindow::registerAdded);
    window.RegisterEdit->setText("a;b");
    QTest::keyClick(window.RegisterEdit, Qt::Key_Return);
    EXPECT_EQ(window.AddNote->text(), "not a name");
    window.RegisterEdit->setText("Count");
    window.KindBox->setCurrentIndex(2);
    window.ValueEdit->setText("300");
    window.AddButton->click();
    EXPECT_EQ(window.AddNote->text(), "not a byte");
    EXPECT_EQ(added.count(), 0);
}

TEST_F(Breakpoints, SfrRowBreaksOnWritesToItsRegister) {
    TSfrWindow sfr(prompter, registry);
    sfr.ShowRows({{0x03, "STATUS", "0x18", "24", "0b00011000", "TO PD"},
                  {0x06, "PORTB", "0x00", "0", "0b00000000", ""}});
    QSignalSpy wanted(&sfr, &TDebugWindow::registerBreakWanted);
    sfr.Table->setCurrentCell(1, 1);
    QMenu* menu = sfr.findChild<QMenu*>();
    ASSERT_TRUE(menu);
    for (QAction* action : menu->actions())
        if (action->text() == "Break on &Write")
            action->trigger();
    ASSERT_EQ(wanted.count(), 1);
    auto breakpoint = wanted[0][0].value<TRegisterBreakpoint>();
    EXPECT_EQ(breakpoint.name, "PORTB");
    EXPECT_EQ(breakpoint.kind, Kind::Write);
}

}  // namespace
