// SPDX-License-Identifier: GPL-3.0-or-later
// The whole chip as the user sees it while stepping the examples on the real gpasm and gpsim: the File
// Registers, EEPROM, Special Function Registers, Watches and Program Memory windows against gpsim's own
// answers, values written in them, and values in the text.
#include "SimulateFixture.h"
#include "QtPrinters.h"

#include "debugger/MemoryWindow.h"
#include "debugger/PinsWindow.h"
#include "debugger/ProgramMemoryWindow.h"
#include "debugger/SfrWindow.h"
#include "debugger/WatchWindow.h"
#include "gpsim/GpsimAnswers.h"
#include "platform/ProfileFile.h"

#include <QElapsedTimer>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QTableView>
#include <QToolTip>

#include <map>
#include <set>

namespace {

using namespace simulate_fixture;
namespace fs = std::filesystem;

class Chip : public Simulate {
  protected:
    // Copies an example's folder into the test folder and opens its project.
    void openExample(const std::string& name) {
        for (const auto& entry : fs::directory_iterator(fs::path(KORVEX_SOURCE_DIR) / "examples" / name))
            fs::copy_file(entry.path(), dir / entry.path().filename(), fs::copy_options::overwrite_existing);
        prompter.willChooseFile(Q(dir / (name + ".pro")));
        MainForm->ProjectOpen->trigger();
        ASSERT_TRUE(MainForm->ProjectSimulate->isEnabled());
    }
    void step(int count = 1) {
        for (int i = 0; i < count; ++i) {
            MainForm->SimulateStepInto->trigger();
            settle();
        }
    }
    // Every cell a memory window shows, by address.
    static std::map<uint32_t, int> cells(TMemoryWindow& window) {
        std::map<uint32_t, int> shown;
        QTableWidget* table = window.Table;
        for (int row = 0; row < table->rowCount(); ++row)
            for (int column = 0; column < table->columnCount(); ++column)
                if (auto address = window.AddressAt(row, column))
                    shown[*address] = table->item(row, column)->text().toInt(nullptr, 16);
        return shown;
    }
    // The answers of a gpsim of its own to `commands` on the .cod: what Korvex shows must be the same.
    std::vector<std::string> gpsimAlone(const std::string&, const std::vector<std::string>& commands) {
        return GpsimAlone(dir.path(), commands);
    }
    QString sfrHex(const QString& name) {
        QTableWidget* table = MainForm->SfrWindow->Table;
        for (int row = 0; row < table->rowCount(); ++row)
            if (table->item(row, 1)->text() == name)
                return table->item(row, 2)->text();
        return "(no row)";
    }
    QStringList watchRow(int row) {
        QTableWidget* table = MainForm->WatchWindow->Table;
        if (row >= table->rowCount())
            return {"(no row)"};
        return {table->item(row, 0)->text(), table->item(row, 2)->text(), table->item(row, 3)->text()};
    }
    // The tooltip resting the mouse on the first `word` of the text would show.
    QString tipOf(const QString& word) {
        QToolTip::hideText();
        TMemo* memo = editor()->Memo;
        int at = memo->text().indexOf(QRegularExpression("\\b" + word + "\\b"));
        if (at < 0 || !editor()->showHoverAt(int(memo->text().left(at).toUtf8().size()) + 1))
            return {};
        return QToolTip::text();
    }
    void openAllWindows() {
        for (QAction* action : {MainForm->SimulateSfr, MainForm->SimulateFileRegisters, MainForm->SimulateEeprom,
                                MainForm->SimulateWatches, MainForm->SimulateProgramMemory})
            action->trigger();
    }
};

TEST_F(Chip, EveryWindowShowsWhatGpsimItselfHoldsAfterKnownStepsOnBothExamples) {
    struct Case {
        std::string example, part;  // the part gpsim runs: the 16F84A on its stand-in
        int steps;
        uint32_t eepromSize;
    };
    for (const Case& example : {Case{"blink", "pic16f84", 9, 64}, Case{"counter", "pic16f877a", 14, 256}}) {
        SCOPED_TRACE(example.example);
        openExample(example.example);
        if (!editor())  // with no editor window open, a quiet build says so in a box
            prompter.expectInformation(QString::fromStdString("Build succeeded: " + example.example + ".hex"));
        start();
        openAllWindows();
        step(example.steps);
        // one "step" at a time, as Korvex steps: gpsim's "step N" counts cycles
        std::vector<std::string> commands{"processor " + example.part, "load " + example.example + ".cod"};
        commands.insert(commands.end(), size_t(example.steps), "step");
        commands.insert(commands.end(), {"dump", "dump e"});
        std::vector<std::string> alone = gpsimAlone(example.example + ".cod", commands);
        std::vector<int> ram = ParseDump(alone[alone.size() - 2]);
        std::vector<int> eeprom = ParseDump(alone.back());
        ASSERT_FALSE(ram.empty());
        ASSERT_EQ(eeprom.size(), example.eepromSize);
        // the File Registers window: every register gpsim has, and no other
        std::map<uint32_t, int> shownRam = cells(*MainForm->FileRegistersWindow);
        size_t registers = std::count_if(ram.begin(), ram.end(), [](int value) { return value >= 0; });
        EXPECT_EQ(shownRam.size(), registers);
        for (const auto& [address, value] : shownRam)
            EXPECT_EQ(value, ram.at(address)) << "file register " << address;
        std::map<uint32_t, int> shownEeprom = cells(*MainForm->EepromWindow);
        ASSERT_EQ(shownEeprom.size(), eeprom.size());
        for (const auto& [address, value] : shownEeprom)
            EXPECT_EQ(value, eeprom.at(address)) << "EEPROM " << address;
        // the SFRs by name at their addresses; the stepped programs have set TRISB and PORTB
        EXPECT_EQ(sfrHex("TRISB"), QString("0x%1").arg(ram.at(0x86), 2, 16, QChar('0')).toUpper().replace("0X", "0x"));
        EXPECT_EQ(sfrHex("PORTB"), QString("0x%1").arg(ram.at(0x06), 2, 16, QChar('0')).toUpper().replace("0X", "0x"));
        EXPECT_EQ(sfrHex("TRISB"), "0x00");
        // the Program Memory window: as many words as the part has, the PC's row marked
        TProgramMemoryModel* model = MainForm->ProgramMemoryWindow->Model;
        EXPECT_EQ(model->rowCount(), example.part == "pic16f84" ? 1024 : 8192);
        uint32_t pc = session().lastStop().pc;
        EXPECT_EQ(model->index(int(pc), TProgramMemoryModel::Mark).data().toString(), "=>");
        MainForm->SimulateEnd->trigger();
        QTRY_VERIFY(!session().active());
        MainForm->ProjectClose->trigger();
    }
}

TEST_F(Chip, ProgramMemoryShowsEachWordWithItsSourceAndABreakpointOnAnyAddressStopsTheRun) {
    // "fill" puts four words with one source line; after the loop, memory the program left empty
    WriteAll(dir / "fill.asm",
             "        list    p=16f877a\n        include <p16f877a.inc>\n        org     0\n"
             "first   movlw   0x12\n        fill    (incf 0x20, F), 4\n        goto    first\n        end\n");
    openProject("fill.asm");
    start();
    MainForm->SimulateProgramMemory->trigger();
    TProgramMemoryModel* model = MainForm->ProgramMemoryWindow->Model;
    auto cell = [model](int row, int column) { return model->index(row, column).data().toString(); };
    auto toggle = [this, model](int row) {
        emit MainForm->ProgramMemoryWindow->Table->doubleClicked(model->index(row, TProgramMemoryModel::Address));
    };
    EXPECT_EQ(cell(0, TProgramMemoryModel::Address), "0000");
    EXPECT_EQ(cell(0, TProgramMemoryModel::Word), "3012");
    EXPECT_EQ(cell(0, TProgramMemoryModel::Instruction), "movlw 0x12");
    EXPECT_EQ(cell(0, TProgramMemoryModel::Source), "fill.asm:4  first movlw 0x12");
    EXPECT_EQ(cell(3, TProgramMemoryModel::Instruction), "incf 0x20, F");
    EXPECT_EQ(cell(5, TProgramMemoryModel::Instruction), "goto 0x000");
    EXPECT_EQ(cell(0x10, TProgramMemoryModel::Word), "3FFF");
    EXPECT_EQ(cell(0x10, TProgramMemoryModel::Source), "");
    // a word no line holds: the run stops there
    ASSERT_EQ(cell(3, TProgramMemoryModel::Source), "");
    toggle(3);
    EXPECT_EQ(cell(3, TProgramMemoryModel::Mark), "B");
    MainForm->SimulateRun->trigger();
    settle();
    EXPECT_EQ(session().lastStop().pc, 3u);
    EXPECT_EQ(cell(3, TProgramMemoryModel::Mark), "=>B");
    EXPECT_EQ(session().lastStop().memory.at(0x20), 2);  // two incf before it
    // memory the program left empty takes no breakpoint, and says so
    toggle(0x10);
    QTRY_COMPARE(cell(0x10, TProgramMemoryModel::Mark), QString());
    EXPECT_EQ(editor()->statusText(5), "gpsim cannot stop at 0010: the program put no instruction there");
    // an address a line holds: the line's own breakpoint, drawn in the gutter and kept in the project
    toggle(3);
    toggle(5);
    EXPECT_EQ(document("fill.asm")->lineStyle(5), kBreakPoint);
    EXPECT_NE(ReadAll(dir / "p.pro").find("Breakpoint0=fill.asm,6"), std::string::npos);
    MainForm->SimulateRun->trigger();
    settle();
    EXPECT_EQ(session().lastStop().pc, 5u);
    EXPECT_EQ(session().lastStop().memory.at(0x20), 4);
    // toggled off in the window, the gutter and the project forget it too
    toggle(5);
    EXPECT_EQ(document("fill.asm")->lineStyle(5), kExecutionPoint);
    EXPECT_EQ(ReadAll(dir / "p.pro").find("Breakpoint0="), std::string::npos);
    EXPECT_EQ(cell(5, TProgramMemoryModel::Mark), "=>");
}

TEST_F(Chip, AnEepromByteWrittenInItsWindowIsWhatTheProgramReadsBack) {
    openProject("eeprom84a.asm", "", "16F84A");
    start();
    MainForm->SimulateEeprom->trigger();
    MainForm->SimulateFileRegisters->trigger();
    std::map<uint32_t, int> eeprom = cells(*MainForm->EepromWindow);
    ASSERT_EQ(eeprom.size(), 64u);
    EXPECT_EQ(eeprom[2], 3);  // de 1, 2, 3
    // a double-click on EEPROM address 2 writes 0x42; the program reads that address back into Value
    QTableWidget* table = MainForm->EepromWindow->Table;
    prompter.willShowModal("WriteRegisterDlg", [](QDialog& dialog) {
        static_cast<QInputDialog&>(dialog).setTextValue("0x42");
        return int(QDialog::Accepted);
    });
    emit table->cellDoubleClicked(0, 2 + 2);
    settle();
    EXPECT_EQ(cells(*MainForm->EepromWindow)[2], 0x42);
    EXPECT_EQ(table->item(0, 4)->foreground().color(), QColor(Qt::red));  // what changed stands out
    clickGutter(34);                                                     // Done goto Done
    MainForm->SimulateRun->trigger();
    settle();
    EXPECT_EQ(session().lastStop().line, 35);
    EXPECT_EQ(cells(*MainForm->EepromWindow)[5], 0xA5);  // the program's own write
    EXPECT_EQ(cells(*MainForm->FileRegistersWindow)[0x0C], 0x42);
    // the program's names stand beside their cells
    QTableWidget* ram = MainForm->FileRegistersWindow->Table;
    bool named = false;
    for (int row = 0; row < ram->rowCount(); ++row)
        named = named || ram->item(row, 18)->text() == "0c Value  0d Addr";
    EXPECT_TRUE(named);
}

TEST_F(Chip, WatchesAreTypedOrTakenFromTheTextKeptInTheProjectAndNamesShowTheirValuesInTheText) {
    openExample("counter");
    if (!editor())
        prompter.expectInformation("Build succeeded: counter.hex");
    start();
    step(6);  // bsf, clrf TRISB, bcf, clrf Count, movf Count,W, movwf PORTB
    MainForm->SimulateStepOver->trigger();  // call Delay
    settle();
    // typed below the list
    MainForm->SimulateWatches->trigger();
    MainForm->WatchWindow->AddEdit->setText("PORTB");
    emit MainForm->WatchWindow->AddEdit->returnPressed();
    EXPECT_EQ(watchRow(0), (QStringList{"PORTB", "0x00", "RB7=0 RB6=0 RB5=0 RB4=0 RB3=0 RB2=0 RB1=0 RB0=0"}));
    // from the editor's popup menu, on the word under the mouse
    TMemo* memo = editor()->Memo;
    int at = int(memo->text().indexOf("incf    Count"));
    ASSERT_GT(at, 0);
    long position = at + 10;
    QPoint point(int(memo->SendScintilla(TMemo::SCI_POINTXFROMPOSITION, 0L, position)),
                 int(memo->SendScintilla(TMemo::SCI_POINTYFROMPOSITION, 0L, position)) + 3);
    emit memo->customContextMenuRequested(point);
    ASSERT_TRUE(editor()->PopupAddWatch->isVisible());
    EXPECT_EQ(editor()->PopupAddWatch->text(), "Add &Watch: Count");
    editor()->PopupMenu1->hide();
    editor()->PopupAddWatch->trigger();
    EXPECT_EQ(watchRow(1), (QStringList{"Count", "0x00", ""}));
    // an instruction is no register: not watched, and the status bar says why
    point.setX(int(memo->SendScintilla(TMemo::SCI_POINTXFROMPOSITION, 0L, long(at) + 1)));
    emit memo->customContextMenuRequested(point);
    editor()->PopupMenu1->hide();
    editor()->PopupAddWatch->trigger();
    EXPECT_EQ(MainForm->WatchWindow->watches().size(), 2u);
    EXPECT_EQ(editor()->statusText(5), "incf is an instruction or a directive: a watch shows a register");
    step();  // incf Count,F
    EXPECT_EQ(watchRow(1), (QStringList{"Count", "0x01", ""}));
    EXPECT_EQ(MainForm->WatchWindow->Table->item(1, 2)->foreground().color(), QColor(Qt::red));
    MainForm->WatchWindow->SetFormat(1, WatchFormat::Binary);
    EXPECT_EQ(watchRow(1)[1], "0b00000001");
    // kept in the project file before [FILES], and read again with it
    std::string project = ReadAll(dir / "counter.pro");
    EXPECT_NE(project.find("[WATCHES]\nCount=2\nWatch0=PORTB,hex\nWatch1=Count,bin\n[FILES]"), std::string::npos)
        << project;
    // resting the mouse on names in the text: the live value first, then what the text says of the name
    EXPECT_EQ(tipOf("Count"), "Count (0x20) = 0x01 = 1 = 0b00000001\n\n"
                              "Count: cblock at counter.asm:21, 0x20 = 32 = 0b00100000");
    EXPECT_TRUE(tipOf("TRISB").startsWith("TRISB (0x86) = 0x00 = 0 = 0b00000000\n"
                                          "TRISB7=0 TRISB6=0 TRISB5=0 TRISB4=0 TRISB3=0 TRISB2=0 TRISB1=0 TRISB0=0\n\n"))
        << tipOf("TRISB").toStdString();
    EXPECT_TRUE(tipOf("RP0").startsWith("RP0: bit 5 of STATUS = 0\n\nRP0: bit 5 of STATUS")) << tipOf("RP0").toStdString();
    EXPECT_TRUE(tipOf("Loop").startsWith("Loop: program address 0x0004\n\nLoop: label at counter.asm:30"))
        << tipOf("Loop").toStdString();
    EXPECT_TRUE(tipOf("movf").startsWith("MOVF f,d\n"));  // no value: the instruction's help alone
    MainForm->SimulateEnd->trigger();
    QTRY_VERIFY(!session().active());
    EXPECT_EQ(tipOf("Count"), "Count: cblock at counter.asm:21, 0x20 = 32 = 0b00100000");  // values only while stopped
    EXPECT_EQ(watchRow(1)[1], "not stopped");
    MainForm->ProjectClose->trigger();
    prompter.willChooseFile(Q(dir / "counter.pro"));
    MainForm->ProjectOpen->trigger();
    ASSERT_EQ(MainForm->WatchWindow->watches().size(), 2u);
    EXPECT_EQ(MainForm->WatchWindow->watches()[1].format, WatchFormat::Binary);
}

TEST_F(Chip, RunToCursorStopsAtTheCaretsLineAndStepBackUndoesTheStepsOneByOne) {
    openExample("counter");
    if (!editor())
        prompter.expectInformation("Build succeeded: counter.hex");
    start();
    EXPECT_FALSE(MainForm->SimulateStepBack->isEnabled());  // nothing to go back to yet
    step(4);
    // the caret on "incf Count,F", past the call of the delay (205,000 instructions)
    TMemo* memo = editor()->Memo;
    int line = int(memo->text().left(memo->text().indexOf("incf    Count")).count('\n'));
    memo->setCursorPosition(line, 0);
    MainForm->SimulateRunToCursor->trigger();
    settle();
    EXPECT_EQ(session().lastStop().line, line + 1);
    EXPECT_EQ(marked(), "counter.asm:" + std::to_string(line + 1));
    uint64_t delayed = session().lastStop().cycles;
    EXPECT_GT(delayed, 200000u);
    step();  // incf Count,F
    EXPECT_EQ(session().lastStop().memory.at(0x20), 1);
    // back: before the incf, then before the run, then the four steps one by one
    ASSERT_TRUE(MainForm->SimulateStepBack->isEnabled());
    MainForm->SimulateStepBack->trigger();
    settle();
    EXPECT_EQ(session().lastStop().cycles, delayed);
    EXPECT_EQ(session().lastStop().memory.at(0x20), 0);
    EXPECT_EQ(marked(), "counter.asm:" + std::to_string(line + 1));
    for (int back = 4; back >= 0; --back) {
        MainForm->SimulateStepBack->trigger();
        settle();
        EXPECT_EQ(session().lastStop().pc, uint32_t(back)) << back;
    }
    EXPECT_FALSE(MainForm->SimulateStepBack->isEnabled());
    // the caret on a line without an instruction: said, and nothing runs
    memo->setCursorPosition(0, 0);
    MainForm->SimulateRunToCursor->trigger();
    EXPECT_EQ(editor()->statusText(5), "Line 1 holds no instruction: Run to Cursor needs one");
    EXPECT_EQ(session().state(), SimSession::State::Stopped);
}

TEST_F(Chip, ARunIsFollowedLiveTheBlinkExamplesLedTogglingAndStopEndsItAtOnce) {
    openExample("blink");
    if (!editor())
        prompter.expectInformation("Build succeeded: blink.hex");
    start();
    MainForm->SimulateSfr->trigger();
    MainForm->SimulatePins->trigger();
    // the lamps at the start: PORTB's pins inputs, as after a reset
    ASSERT_FALSE(MainForm->PinsWindow->ports().empty());
    std::set<bool> lampRb0;
    QObject::connect(&session(), &SimSession::live, MainForm, [&] {
        for (const PortRow& port : MainForm->PinsWindow->ports())
            for (const Pin& pin : port.pins)
                if (pin.name == "RB0") {
                    EXPECT_TRUE(pin.output);  // TRISB cleared by the program
                    lampRb0.insert(pin.high);
                }
    });
    std::set<int> portb;
    std::vector<uint64_t> cycles;
    QObject::connect(&session(), &SimSession::live, MainForm, [&](const SimStop& now) {
        portb.insert(now.memory.at(6) & 1);
        cycles.push_back(now.cycles);
    });
    MainForm->SimulateRun->trigger();
    QTest::qWait(1500);
    EXPECT_EQ(session().state(), SimSession::State::Running);
    // about ten looks a second, the cycle count moving on, the LED's pin seen both on and off
    EXPECT_GE(cycles.size(), 5u);
    EXPECT_LE(cycles.size(), 20u);
    EXPECT_TRUE(std::is_sorted(cycles.begin(), cycles.end()));
    EXPECT_EQ(portb, (std::set<int>{0, 1}));
    EXPECT_EQ(lampRb0, (std::set<bool>{false, true}));  // the LED's lamp lit and dark
    EXPECT_EQ(sfrHex("PORTB"), QString("0x0%1").arg(session().lastStop().memory.at(6)));  // the window follows
    EXPECT_EQ(marked(), "(no mark)");  // no line is marked while it runs
    QElapsedTimer clock;
    clock.start();
    MainForm->SimulateStop->trigger();
    settle();
    EXPECT_EQ(session().state(), SimSession::State::Stopped);
    EXPECT_LT(clock.elapsed(), 1000);
}

}  // namespace
