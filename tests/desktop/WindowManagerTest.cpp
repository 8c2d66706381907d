// SPDX-License-Identifier: GPL-3.0-or-later
// The program under a real window manager (openbox on a virtual display): where the keyboard goes after
// each way of showing a document, which window stays on top while stepping, where windows come back after
// a restart, what the title bars offer, and that quitting ends the program.
#include "shell/Main.h"

#include "ScriptedPrompter.h"
#include "TempDir.h"
#include "X11.h"
#include "editctl/DocumentManager.h"
#include "editctl/Memo.h"
#include "editor/MyEditUnit.h"
#include "assembler/DlgEXE.h"
#include "assembler/DlgMPASM.h"
#include "editor/DlgGoLine.h"
#include "editor/Envi.h"
#include "shell/About.h"
#include "shell/Format.h"
#include "platform/Prompter.h"
#include "gpsim/SimSession.h"
#include "shell/Idefunction.h"
#include "debugger/MemoryWindow.h"
#include "debugger/PinsWindow.h"
#include "debugger/BreakpointsWindow.h"
#include "debugger/ProgramMemoryWindow.h"
#include "debugger/RegistersWindow.h"
#include "debugger/SfrWindow.h"
#include "debugger/WatchWindow.h"
#include "shell/Startup.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <filesystem>

namespace {

class WindowManager : public ::testing::Test {
  protected:
    void SetUp() override { startKorvex(); }
    void TearDown() override { korvex.reset(); }
    void startKorvex() {
        korvex = std::make_unique<TKorvex>(dir / "config", prompter);
        MainForm->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(MainForm));
    }
    TEditor* editor() const { return korvex->services.editors->first(); }
    TDocument* open(const char* name, const std::string& text = "\tnop\n") {
        WriteAll(dir / name, text);
        return Documents->open(QString::fromStdString((dir / name).string()));
    }
    // Keys typed as the X server delivers them: to the window that has the focus, then to its focus widget.
    static void type(const char* text) {
        QWindow* window = QGuiApplication::focusWindow();
        ASSERT_TRUE(window) << "no window has the keyboard";
        for (const char* c = text; *c; ++c)
            QTest::keyClick(window, *c);
    }
    // True once the editor window has the keyboard, in its text.
    bool typingGoesToTheText() {
        return QTest::qWaitFor([this] {
            return editor() && QGuiApplication::focusWindow() == editor()->windowHandle() &&
                   QApplication::focusWidget() == editor()->Memo;
        });
    }
    void activateTheStrip() {
        MainForm->activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([] { return QGuiApplication::focusWindow() == MainForm->windowHandle(); }));
    }

    TempDir dir;
    ScriptedPrompter prompter;
    std::unique_ptr<TKorvex> korvex;
};

TEST_F(WindowManager, FileNewGivesTheKeyboardToTheNewDocument) {
    MainForm->FileNew->trigger();
    ASSERT_TRUE(typingGoesToTheText());
    activateTheStrip();  // the user goes to the strip's menu for a second one
    MainForm->FileNew->trigger();
    ASSERT_TRUE(typingGoesToTheText());
    type("   x");  // spaces once pressed the focused toolbar button, a new document each
    EXPECT_EQ(Documents->documents().size(), 2u);
    EXPECT_EQ(editor()->Memo->document()->bytes(), "   x");
}

TEST_F(WindowManager, AMenuClosedWithEscapeGivesTheKeyboardBack) {
    open("a.asm", "nop\n");
    ASSERT_TRUE(typingGoesToTheText());
    activateTheStrip();
    MainForm->SearchMenu->popup(MainForm->mapToGlobal(QPoint(100, 20)));
    ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() == MainForm->SearchMenu; }));
    QTest::keyClick(MainForm->SearchMenu, Qt::Key_Escape);
    ASSERT_TRUE(typingGoesToTheText());
    type(";");
    EXPECT_EQ(editor()->Memo->document()->bytes(), ";nop\n");
}

TEST_F(WindowManager, AnEditorWindowComesBackWhereItWasFrameIncluded) {
    open("a.asm");
    ASSERT_TRUE(typingGoesToTheText());
    editor()->restoreFromMaximized();
    editor()->setGeometry(200, 260, 640, 420);
    ASSERT_TRUE(QTest::qWaitFor([this] { return editor()->geometry() == QRect(200, 260, 640, 420); }));
    QRect frame = editor()->frameGeometry();
    ASSERT_GT(frame.height(), 420);  // the window manager's title bar is part of it
    // quit with the window in its normal state, start again
    korvex.reset();
    startKorvex();
    open("a.asm");
    EXPECT_TRUE(QTest::qWaitFor([this, frame] { return editor()->frameGeometry() == frame; }))
        << "came back at " << editor()->frameGeometry().y() << " instead of " << frame.y();
    EXPECT_FALSE(editor()->isMaximizedBelowStrip());
}

TEST_F(WindowManager, MaximisedAndMinimisedEditorWindowsComeBackSo) {
    open("a.asm");
    editor()->restoreFromMaximized();
    editor()->setGeometry(180, 240, 600, 400);
    ASSERT_TRUE(QTest::qWaitFor([this] { return editor()->geometry() == QRect(180, 240, 600, 400); }));
    QRect normal = editor()->frameGeometry();
    editor()->maximize();
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return editor()->frameGeometry().top() == MainForm->frameGeometry().bottom() + 1; }));
    korvex.reset();
    startKorvex();
    open("a.asm");
    EXPECT_TRUE(editor()->isMaximizedBelowStrip());
    EXPECT_TRUE(QTest::qWaitFor(
        [this] { return editor()->frameGeometry().top() == MainForm->frameGeometry().bottom() + 1; }));
    editor()->restoreFromMaximized();  // the normal place survived the maximised session
    EXPECT_TRUE(QTest::qWaitFor([this, normal] { return editor()->frameGeometry() == normal; }));
    // minimised when Korvex ends: the document opened next shows it again, where it was
    editor()->showMinimized();
    ASSERT_TRUE(QTest::qWaitFor([this] { return editor()->isMinimized(); }));
    korvex.reset();
    startKorvex();
    open("a.asm");
    EXPECT_TRUE(QTest::qWaitFor([this, normal] { return !editor()->isMinimized() && editor()->frameGeometry() == normal; }))
        << "came back at " << editor()->frameGeometry().y() << " instead of " << normal.y();
}

TEST_F(WindowManager, DialogsShowTheirWholeCaptionAndMessageBoxesCannotBeMaximised) {
    QList<QDialog*> fixed = {AboutBox, FormatDlg, MPASMDlg, GoToLineDlg, EXEDlg, EnviDlg};
    for (QDialog* dialog : fixed) {
        SCOPED_TRACE(dialog->objectName().toStdString());
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
        // the title bar holds the caption in a bold font, beside the window's icon and three buttons
        QFont bold = QApplication::font();
        bold.setBold(true);
        int caption = QFontMetrics(bold).horizontalAdvance(dialog->windowTitle());
        EXPECT_GE(dialog->frameGeometry().width(), caption + 100) << dialog->windowTitle().toStdString();
        EXPECT_FALSE(MayMaximise(*dialog));
        EXPECT_FALSE(AsksForMaximiseButton(*dialog));
        dialog->hide();
    }
    // the program's own question, as File > Exit asks it
    bool checked = false;
    QTimer::singleShot(0, [&checked] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_TRUE(box);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(box));
        EXPECT_TRUE(QTest::qWaitFor([box] { return !AllowedActions(*box).empty(); }));
        EXPECT_FALSE(MayMaximise(*box));
        EXPECT_FALSE(AsksForMaximiseButton(*box));
        checked = true;
        box->done(QMessageBox::No);
    });
    QtPrompter().confirm("Do you want to quit Korvex?");
    EXPECT_TRUE(checked);
}

TEST_F(WindowManager, EveryDebuggingWindowStaysAboveTheEditorWhileStepping) {
    if (QStandardPaths::findExecutable("gpasm").isEmpty() || QStandardPaths::findExecutable("gpsim").isEmpty())
        GTEST_SKIP() << "gpasm or gpsim is not installed";
    for (const char* file : {"main877a.asm", "sub.inc"})
        std::filesystem::copy_file(std::filesystem::path(KORVEX_SOURCE_DIR "/tests/gpsim/data") / file, dir / file);
    WriteAll(dir / "p.pro",
             "[PROJECT]\nFormat=MPASM\n[MPASM]\nProcessor=16F877A\nAdditional=\n[FILES]\nCount=1\n"
             "File0=main877a.asm\n");
    korvex->settings.AssemblerPath = KORVEX_BINARY_DIR "/tools/mpasmwin/MPASMWIN.EXE";
    korvex->settings.AssemblerFileName = "MPASMWIN.EXE";
    prompter.willChooseFile(QString::fromStdString((dir / "p.pro").string()));
    MainForm->ProjectOpen->trigger();
    MainForm->ProjectSimulate->trigger();
    auto stopped = [] { return MainForm->simSession->state() == SimSession::State::Stopped; };
    ASSERT_TRUE(QTest::qWaitFor(stopped, 15000));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(MainForm->RegistersWindow));
    for (QAction* action : {MainForm->SimulateSfr, MainForm->SimulateFileRegisters, MainForm->SimulateEeprom,
                            MainForm->SimulateWatches, MainForm->SimulateProgramMemory, MainForm->SimulatePins,
                            MainForm->SimulateBreakpoints})
        action->trigger();
    std::vector<QWidget*> windows{MainForm->RegistersWindow,     MainForm->SfrWindow,
                                  MainForm->FileRegistersWindow, MainForm->EepromWindow,
                                  MainForm->WatchWindow,         MainForm->ProgramMemoryWindow,
                                  MainForm->PinsWindow,          MainForm->BreakpointsWindow};
    for (QWidget* window : windows)
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window)) << window->windowTitle().toStdString();
    for (int step = 0; step < 4; ++step) {
        MainForm->SimulateStepInto->trigger();  // each stop brings the editor window forward
        ASSERT_TRUE(QTest::qWaitFor(stopped, 15000));
        ASSERT_TRUE(QTest::qWaitFor([this] { return editor() && editor()->isActiveWindow(); }));
        for (QWidget* window : windows)
            EXPECT_TRUE(QTest::qWaitFor([this, window] { return StackingIndex(*window) > StackingIndex(*editor()); }))
                << "step " << step << ": " << window->windowTitle().toStdString() << " went behind the editor window";
    }
    MainForm->SimulateEnd->trigger();
    ASSERT_TRUE(QTest::qWaitFor([] { return !MainForm->simSession->active(); }));
}

TEST_F(WindowManager, QuittingEndsTheEventLoop) {
    open("a.asm");
    prompter.willConfirm("Do you want to quit Korvex?", true);
    QTimer::singleShot(0, MainForm, [] { MainForm->FileExit->trigger(); });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    watchdog.start(10000);
    EXPECT_EQ(korvex->exec(), 0);
}

}  // namespace
