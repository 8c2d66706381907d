// SPDX-License-Identifier: GPL-3.0-or-later
// The Pins window on its own: each pin knows its bit, and the user drives the inputs of a 16F84A-like part
// by click, popup menu and keyboard; the window asks for the drive and shows it once it is told.
#include "QtPrinters.h"
#include "ScriptedPrompter.h"
#include "TempDir.h"

#include "debugger/PinsWindow.h"
#include "platform/Registry.h"

#include <QContextMenuEvent>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Level = SimSession::Level;
using PinName = SimSession::PinName;

// PORTA with its five pins RA4..RA0, all inputs; PORTB with RB0 an output; PORTC without names.
std::vector<PortRow> Ports() {
    SimStop stop;
    stop.memory.assign(0x100, 0);
    stop.memory[5] = 0x10;     // PORTA: RA4 high
    stop.memory[6] = 0x81;     // PORTB: RB7 and RB0 high
    stop.memory[0x85] = 0x1F;  // TRISA: all inputs
    stop.memory[0x86] = 0xFE;  // TRISB: RB0 an output
    std::vector<SpecialRegister> registers{
        {"PORTA", 5, {"RA0", "RA1", "RA2", "RA3", "RA4", "", "", ""}},
        {"PORTB", 6, {"RB0", "RB1", "RB2", "RB3", "RB4", "RB5", "RB6", "RB7"}},
        {"PORTC", 7, {"", "", "", "", "", "", "", ""}},
        {"TRISA", 0x85, {}},
        {"TRISB", 0x86, {}}};
    return PortRows(stop, registers);
}

TEST(PortRows, EachPinKnowsItsBitAndAPortSkipsTheBitsThePartLacks) {
    std::vector<PortRow> ports = Ports();
    ASSERT_EQ(ports.size(), 3u);
    ASSERT_EQ(ports[0].pins.size(), 5u);
    for (size_t i = 0; i < 5; ++i)
        EXPECT_EQ(ports[0].pins[i].bit, int(4 - i)) << ports[0].pins[i].name.toStdString();
    EXPECT_EQ(ports[0].pins[4].name, "RA0");
    ASSERT_EQ(ports[1].pins.size(), 8u);
    EXPECT_EQ(ports[1].pins[0].bit, 7);
    EXPECT_EQ(ports[1].pins[4].name, "RB3");
    EXPECT_EQ(ports[1].pins[4].bit, 3);
    EXPECT_EQ(ports[1].pins[7].bit, 0);
    ASSERT_EQ(ports[2].pins.size(), 8u);  // no names: every bit, named by the port
    EXPECT_EQ(ports[2].pins[2].name, "RC5");  // short enough for its lamp
    EXPECT_EQ(ports[2].pins[2].bit, 5);
}

class PinsWindow : public ::testing::Test {
  protected:
    PinsWindow() { window.ShowPorts(Ports()); }

    // The drive the window asked for at its `n`th request.
    std::pair<PinName, Level> asked(int n) {
        return {drives.at(n).at(0).value<PinName>(), drives.at(n).at(1).value<Level>()};
    }
    QPoint lamp(size_t row, size_t index) const { return lamps.LampRect(row, index).center(); }
    void rightClick(QPoint at) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, lamps.mapToGlobal(at));
        QCoreApplication::sendEvent(&lamps, &event);
    }

    TempDir dir;
    Registry registry{dir.path()};
    ScriptedPrompter prompter;
    TPinsWindow window{prompter, registry};
    TPinLamps& lamps = *window.Lamps;
    QSignalSpy drives{&window, &TPinsWindow::drivePin};
};

TEST_F(PinsWindow, AClickOnAnInputDrivesItHighAndOnceDrivenHighDrivesItLow) {
    EXPECT_EQ(lamps.PinAt(lamp(1, 4)), PinName("PORTB", 3));
    QTest::mouseClick(&lamps, Qt::LeftButton, {}, lamp(1, 4));  // RB3, floating
    ASSERT_EQ(drives.size(), 1);
    EXPECT_EQ(asked(0), std::make_pair(PinName("PORTB", 3), Level::High));
    window.SetDriven({{{"PORTB", 3}, Level::High}});
    QTest::mouseClick(&lamps, Qt::LeftButton, {}, lamp(1, 4));
    ASSERT_EQ(drives.size(), 2);
    EXPECT_EQ(asked(1), std::make_pair(PinName("PORTB", 3), Level::Low));
    // a pin driven low goes high again
    window.SetDriven({{{"PORTB", 3}, Level::Low}});
    QTest::mouseClick(&lamps, Qt::LeftButton, {}, lamp(1, 4));
    EXPECT_EQ(asked(2), std::make_pair(PinName("PORTB", 3), Level::High));
}

TEST_F(PinsWindow, AClickOnAnOutputDrivesNothingAndSaysWhoDrivesIt) {
    QTest::mouseClick(&lamps, Qt::LeftButton, {}, lamp(1, 7));  // RB0, the program's output
    EXPECT_EQ(drives.size(), 0);
    EXPECT_EQ(window.Note->text(), "RB0 is an output: the program drives it.");
    // beside the lamps, and past the last pin of PORTA, there is nothing to click
    QTest::mouseClick(&lamps, Qt::LeftButton, {}, {10, 10});
    QTest::mouseClick(&lamps, Qt::LeftButton, {}, lamp(0, 6));
    EXPECT_FALSE(lamps.PinAt(lamp(0, 6)));
    EXPECT_EQ(drives.size(), 0);
}

TEST_F(PinsWindow, TheMenuOfAnInputChecksItsDriveAndLetsItFloat) {
    window.SetDriven({{{"PORTA", 2}, Level::Low}});
    rightClick(lamp(0, 2));  // RA2
    auto* menu = lamps.findChild<QMenu*>("PinMenu");
    ASSERT_TRUE(menu);
    std::map<QString, QAction*> actions;
    for (QAction* action : menu->actions())
        actions[action->text()] = action;
    ASSERT_EQ(actions.size(), 4u);
    EXPECT_TRUE(actions["Drive &Low"]->isChecked());
    EXPECT_FALSE(actions["Drive &High"]->isChecked());
    EXPECT_FALSE(actions["Let &Float"]->isChecked());
    actions["Let &Float"]->trigger();
    ASSERT_EQ(drives.size(), 1);
    EXPECT_EQ(asked(0), std::make_pair(PinName("PORTA", 2), Level::Floating));
    actions["&Toggle"]->trigger();  // from low
    EXPECT_EQ(asked(1), std::make_pair(PinName("PORTA", 2), Level::High));
    menu->hide();
}

TEST_F(PinsWindow, TheMenuDoesNotOpenOnAnOutput) {
    rightClick(lamp(1, 7));  // RB0
    EXPECT_FALSE(lamps.PinMenu->isVisible());
    EXPECT_EQ(window.Note->text(), "RB0 is an output: the program drives it.");
}

TEST_F(PinsWindow, ArrowsMoveTheFocusRingAndSpaceTogglesTheInputUnderIt) {
    lamps.setFocus();
    QTest::keyClick(&lamps, Qt::Key_Down);   // from RA4 to RB7
    QTest::keyClick(&lamps, Qt::Key_Right);  // RB6
    QTest::keyClick(&lamps, Qt::Key_Space);
    ASSERT_EQ(drives.size(), 1);
    EXPECT_EQ(asked(0), std::make_pair(PinName("PORTB", 6), Level::High));
    for (int i = 0; i < 9; ++i)
        QTest::keyClick(&lamps, Qt::Key_Right);  // stops at RB0, the last
    QTest::keyClick(&lamps, Qt::Key_Space);
    EXPECT_EQ(drives.size(), 1);
    EXPECT_EQ(window.Note->text(), "RB0 is an output: the program drives it.");
    QTest::keyClick(&lamps, Qt::Key_Up);  // PORTA has five pins: RA0
    QTest::keyClick(&lamps, Qt::Key_Space);
    ASSERT_EQ(drives.size(), 2);
    EXPECT_EQ(asked(1), std::make_pair(PinName("PORTA", 0), Level::High));
}

TEST_F(PinsWindow, ADrivenInputCarriesATagAndAnUndrivenOneNone) {
    window.SetDriven({{{"PORTB", 5}, Level::High}, {{"PORTB", 4}, Level::Low}});
    lamps.resize(lamps.sizeHint());
    QImage image = lamps.grab().toImage();
    auto tagColour = [&image, this](size_t index) {
        QRect tag = lamps.TagRect(1, index);
        return image.pixelColor(tag.left() + 2, tag.center().y());
    };
    EXPECT_EQ(tagColour(2), QColor(240, 160, 0));  // RB5, driven high
    EXPECT_EQ(tagColour(3), QColor(240, 160, 0));  // RB4, driven low
    EXPECT_NE(tagColour(1), QColor(240, 160, 0));  // RB6, floating
}

}  // namespace
