// SPDX-License-Identifier: GPL-3.0-or-later
// The windows on a desktop: maximised editor windows below the strip, the Project window within reach,
// fixed dialogs without a maximise button, the keyboard focus where the user types, the main menus from an
// editor window.
#include "shell/Main.h"

#include "ScriptedPrompter.h"
#include "TempDir.h"
#include "assembler/DlgEXE.h"
#include "assembler/DlgMPASM.h"
#include "editctl/DocumentManager.h"
#include "editctl/FindDialogs.h"
#include "editctl/Memo.h"
#include "editor/DlgGoLine.h"
#include "editor/Envi.h"
#include "editor/MyEditUnit.h"
#include "platform/Prompter.h"
#include "shell/About.h"
#include "shell/Format.h"
#include "shell/Idefunction.h"
#include "shell/ProW.h"
#include "shell/Project.h"
#include "shell/Startup.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>

namespace {

namespace fs = std::filesystem;

class Desktop : public ::testing::Test {
  protected:
    void SetUp() override {
        korvex = std::make_unique<TKorvex>(dir / "config", prompter);
        MainForm->show();
    }
    void TearDown() override { korvex.reset(); }

    TDocument* open(const char* name, const std::string& text = "\tnop\n") {
        WriteAll(dir / name, text);
        TDocument* document = Documents->open(QString::fromStdString((dir / name).string()));
        QCoreApplication::processEvents();  // the opened document takes the focus before the user goes on
        return document;
    }
    TEditor* editor() const { return korvex->services.editors->first(); }
    static QRect available() { return QGuiApplication::primaryScreen()->availableGeometry(); }

    TempDir dir;
    ScriptedPrompter prompter;
    std::unique_ptr<TKorvex> korvex;
};

TEST_F(Desktop, AMaximisedEditorWindowFillsTheScreenBelowTheStrip) {
    MainForm->FileNew->trigger();  // the first document comes maximised
    ASSERT_TRUE(editor());
    QRect strip = MainForm->frameGeometry();
    QRect frame = editor()->frameGeometry();
    EXPECT_EQ(frame.top(), strip.bottom() + 1);
    EXPECT_EQ(frame.left(), available().left());
    EXPECT_EQ(frame.width(), available().width());
    EXPECT_EQ(frame.bottom(), available().bottom());
    EXPECT_TRUE(editor()->isMaximizedBelowStrip());
}

TEST_F(Desktop, TheTitleBarsMaximiseGoesBelowTheStripAndASecondOneRestores) {
    open("a.asm");
    editor()->setGeometry(100, 200, 700, 400);
    editor()->setWindowState(Qt::WindowMaximized);  // as the window manager does for the button
    ASSERT_TRUE(QTest::qWaitFor([this] { return editor()->isMaximizedBelowStrip(); }));
    EXPECT_FALSE(editor()->isMaximized());
    EXPECT_EQ(editor()->frameGeometry().top(), MainForm->frameGeometry().bottom() + 1);
    editor()->setWindowState(Qt::WindowMaximized);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !editor()->isMaximizedBelowStrip(); }));
    EXPECT_EQ(editor()->geometry(), QRect(100, 200, 700, 400));
}

TEST_F(Desktop, AMaximisedWindowIsStoredAsMaximisedAndComesBackSo) {
    open("a.asm");
    editor()->setGeometry(100, 200, 700, 400);
    editor()->maximize();
    MainForm->FileClose->trigger();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !editor(); }));
    EXPECT_EQ(korvex->registry.readDword(RegRoot::CurrentUser,
                                         "Software\\Tervane\\Korvex v0.30\\Forms\\CodeEdit", "WindowState"),
              2u);
    open("b.asm");
    EXPECT_TRUE(editor()->isMaximizedBelowStrip());
    EXPECT_TRUE(QTest::qWaitFor(
        [this] { return editor()->frameGeometry().top() == MainForm->frameGeometry().bottom() + 1; }));
    editor()->restoreFromMaximized();
    EXPECT_EQ(editor()->geometry(), QRect(100, 200, 700, 400));  // the normal place was kept
}

TEST_F(Desktop, MovingAMaximisedWindowAwayMakesItNormal) {
    open("a.asm");
    editor()->maximize();
    editor()->setGeometry(300, 300, 400, 300);  // dragged by the user
    EXPECT_FALSE(editor()->isMaximizedBelowStrip());
}

TEST_F(Desktop, FixedDialogsAndTheProjectWindowOfferNoMaximiseButton) {
    QList<QDialog*> fixed = {AboutBox, FormatDlg, MPASMDlg, GoToLineDlg, EXEDlg, EnviDlg};
    for (QDialog* dialog : fixed) {
        SCOPED_TRACE(dialog->objectName().toStdString());
        // a fixed size is what every window manager reads as "cannot be maximised"
        EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize());
        EXPECT_FALSE(dialog->windowFlags() & Qt::WindowMaximizeButtonHint);
        // a place of its own: Qt would otherwise centre it on whichever window is active at the time
        EXPECT_TRUE(dialog->testAttribute(Qt::WA_Moved));
    }
    EXPECT_TRUE(ProWindow->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(ProWindow->windowFlags() & Qt::WindowMaximizeButtonHint);
    // a window manager that maximises it all the same sees it come back
    ProWindow->setWindowState(Qt::WindowMaximized);
    EXPECT_TRUE(QTest::qWaitFor([] { return !ProWindow->isMaximized(); }));
}

TEST_F(Desktop, CommandsOnTheEditorLeaveItsWindowActiveWithTheFocusInTheText) {
    open("a.asm", "movlw 1\nmovlw 2\n");
    WriteAll(dir / "b.asm", "nop\n");
    // the user works in the strip, then looks for the caret in the editor
    auto fromTheStrip = [this](const char* what, const std::function<void()>& command) {
        SCOPED_TRACE(what);
        MainForm->activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([] { return MainForm->isActiveWindow(); }));
        command();
        EXPECT_TRUE(QTest::qWaitFor([this] { return editor()->isActiveWindow(); }));
        EXPECT_EQ(QApplication::focusWidget(), editor()->Memo);
    };
    auto findText = [](const char* text) {
        return [text](QDialog& dialog) {
            static_cast<TFindDialog&>(dialog).FindText->setText(text);
            return int(QDialog::Accepted);
        };
    };
    fromTheStrip("File > Open", [this] {
        prompter.willChooseFiles({QString::fromStdString((dir / "b.asm").string())});
        MainForm->FileOpen->trigger();
    });
    fromTheStrip("Find", [&] {
        prompter.willShowModal("FindDialog", findText("nop"));
        MainForm->SearchFind->trigger();
    });
    fromTheStrip("Search Again", [&] {
        prompter.expectInformation("Search string 'nop' not found");
        MainForm->SearchAgain1->trigger();
    });
    fromTheStrip("Replace", [&] {
        prompter.willShowModal("ReplaceDialog", findText("nop"));
        MainForm->SearchReplace->trigger();
    });
    fromTheStrip("Go to Line, cancelled", [this] {
        prompter.willShowModal("GoToLineDlg", [](QDialog&) { return int(QDialog::Rejected); });
        MainForm->GotoLineNumber1->trigger();
    });
    fromTheStrip("the Copy button", [] { MainForm->SBCopy->click(); });
    EXPECT_TRUE(prompter.allAnswered());
}

TEST_F(Desktop, AltAndAMenusKeyInAnEditorWindowOpenThatMenuOfTheStrip) {
    TDocument* document = open("a.asm", "nop\n");
    TMemo* memo = editor()->Memo;
    QApplication::setActiveWindow(editor());
    const std::pair<Qt::Key, QMenu*> keys[] = {
        {Qt::Key_F, MainForm->FileMenu},      {Qt::Key_E, MainForm->EditMenu},
        {Qt::Key_S, MainForm->SearchMenu},    {Qt::Key_P, MainForm->ProjectMenu},
        {Qt::Key_C, MainForm->ConfigureMenu}, {Qt::Key_H, MainForm->HelpMenu},
    };
    for (const auto& entry : keys) {
        Qt::Key key = entry.first;
        QMenu* menu = entry.second;
        SCOPED_TRACE(menu->title().toStdString());
        QApplication::setActiveWindow(editor());
        QTest::keyClick(memo, key, Qt::AltModifier);
        EXPECT_TRUE(QTest::qWaitFor([menu] { return QApplication::activePopupWidget() == menu; }));
        menu->close();
    }
    // the hidden Debug menu stays hidden, and no Alt+letter is typed into the source
    for (Qt::Key key : {Qt::Key_D, Qt::Key_Q, Qt::Key_F}) {
        QApplication::setActiveWindow(editor());
        QTest::keyClick(memo, key, Qt::AltModifier);
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
    }
    EXPECT_EQ(document->bytes(), "nop\n");
    EXPECT_FALSE(document->isModified());
}

// The program's own file dialogs, answered by typing a name as the user would.
class FileDialogs : public ::testing::Test {
  protected:
    void SetUp() override {
        korvex = std::make_unique<TKorvex>(dir / "config", prompter);
        // a message box nobody expected fails the test instead of waiting for a click
        QObject::connect(&unexpected, &QTimer::timeout, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                ADD_FAILURE() << "message box: " << box->text().toStdString();
                box->done(QMessageBox::Ok);
            }
        });
        unexpected.start(20);
    }
    void TearDown() override { korvex.reset(); }
    // The next file dialog gets `name` typed into its name field and is accepted.
    void willType(const QString& name) {
        QTimer::singleShot(0, [name] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_TRUE(dialog);
            auto* field = dialog->findChild<QLineEdit*>("fileNameEdit");
            ASSERT_TRUE(field);
            field->setText(name);
            QMetaObject::invokeMethod(dialog, "accept");
        });
    }

    TempDir dir;
    QtPrompter prompter;
    QTimer unexpected;
    std::unique_ptr<TKorvex> korvex;
};

TEST_F(FileDialogs, ProjectOpenPutsProOnANameTypedWithoutOneAndAddListsAFileNotYetWritten) {
    WriteAll(dir / "blink.pro", "[PROJECT]\nFormat=MPASM\n[FILES]\nCount=0\n");
    willType(QString::fromStdString((dir / "blink").string()));
    MainForm->ProjectOpen->trigger();
    EXPECT_EQ(ProjectPath, (dir / "blink.pro").string());
    willType("later.asm");  // in the project's folder, where the dialog starts
    MainForm->ProjectAdd->trigger();
    EXPECT_EQ(ProWindow->Entries(), QStringList{"later.asm"});
}

}  // namespace
