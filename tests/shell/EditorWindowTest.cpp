// SPDX-License-Identifier: GPL-3.0-or-later
// The editor windows and the File, Edit and Search commands, as a user drives them from the main window.
#include "editor/MyEditUnit.h"

#include "QtPrinters.h"
#include "ScriptedPrompter.h"
#include "TempDir.h"
#include "assembler/Messages.h"
#include "editctl/DocumentManager.h"
#include "editctl/Memo.h"
#include "editctl/PicLexer.h"
#include "editor/AllReg.h"
#include "editor/DlgGoLine.h"
#include "editor/PICParser.h"
#include "platform/Colors.h"
#include "shell/Idefunction.h"
#include "shell/Main.h"
#include "shell/Startup.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetricsF>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTest>

#include <climits>
#include <cmath>

namespace {

class Editor : public ::testing::Test {
  protected:
    void SetUp() override { korvex = std::make_unique<TKorvex>(dir.path(), prompter); }
    void TearDown() override {
        // leave without questions: what is still modified is thrown away
        for (TDocument* d : Documents->documents())
            d->setModified(false);
        korvex.reset();
    }

    QString write(const char* name, const QByteArray& bytes) {
        QString path = QString::fromStdString((dir / name).string());
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return path;
    }
    TDocument* open(const char* name, const QByteArray& bytes = "nop\n") {
        return Documents->open(write(name, bytes));
    }
    TEditor* window() const { return korvex->services.editors->first(); }
    QStringList tabs() const {
        QStringList captions;
        for (int i = 0; i < window()->TabControl->count(); ++i)
            captions << window()->TabControl->tabText(i);
        return captions;
    }
    QString currentTab() const { return window()->TabControl->tabText(window()->TabControl->currentIndex()); }

    TempDir dir;
    ScriptedPrompter prompter;
    std::unique_ptr<TKorvex> korvex;
};

TEST_F(Editor, NewDocumentsAreNumberedAndShownAsTabsOfOneMaximisedWindow) {
    MainForm->FileNew->trigger();
    ASSERT_TRUE(window());
    EXPECT_TRUE(window()->isMaximizedBelowStrip());
    MainForm->FileNew->trigger();
    EXPECT_EQ(tabs(), (QStringList{"Noname1", "Noname2"}));
    EXPECT_EQ(korvex->services.editors->windows().size(), 1u);
    window()->TabControl->setCurrentIndex(0);
    MainForm->FileClose->trigger();
    MainForm->FileNew->trigger();
    EXPECT_EQ(tabs(), (QStringList{"Noname2", "Noname1"}));
    EXPECT_EQ(window()->windowTitle(), "Noname1");
}

TEST_F(Editor, ClosingATabSelectsTheOneThatTakesItsPlaceAndTheLastTabTakesTheWindow) {
    open("a.asm");
    open("b.asm");
    open("c.asm");
    window()->TabControl->setCurrentIndex(1);
    MainForm->FileClose->trigger();
    EXPECT_EQ(tabs(), (QStringList{"a.asm", "c.asm"}));
    EXPECT_EQ(currentTab(), "c.asm");
    EXPECT_EQ(window()->Memo->document()->displayName(), "c.asm");
    MainForm->FileClose->trigger();
    EXPECT_EQ(currentTab(), "a.asm");
    QPointer<TEditor> last = window();
    MainForm->FileClose->trigger();
    EXPECT_TRUE(WaitUntil([&last] { return !last; }));
    EXPECT_FALSE(ActiveSource());
}

TEST_F(Editor, SameFileNamesInTwoFoldersGetTwoTabsWithTheirOwnPaths) {
    QDir(QString::fromStdString(dir.path().string())).mkdir("sub");
    TDocument* top = open("main.asm");
    TDocument* sub = open("sub/main.asm");
    EXPECT_EQ(tabs(), (QStringList{"main.asm", "main.asm"}));
    EXPECT_EQ(window()->tabPaths(), (QStringList{top->fileName(), sub->fileName()}));
    window()->TabControl->setCurrentIndex(0);
    EXPECT_EQ(window()->Memo->document(), top);
    EXPECT_EQ(Documents->current(), top);
}

TEST_F(Editor, StatusBarFollowsTheCaretTheModifiedStateAndTheTypingMode) {
    open("s.asm", "movlw 1\nmovwf 2\n");
    TMemo* memo = window()->Memo;
    memo->setCursorPosition(1, 3);
    EXPECT_TRUE(WaitUntil([this] { return window()->statusText(0) == "2: 4"; }))
        << window()->statusText(0).toStdString();
    EXPECT_EQ(window()->statusText(1), "");
    QTest::keyClick(memo, Qt::Key_X);
    EXPECT_EQ(window()->statusText(1), "Modified");
    QTest::keyClick(memo, Qt::Key_Insert);
    EXPECT_EQ(window()->statusText(2), "Overwrite");
    QTest::keyClick(memo, Qt::Key_Insert);
    EXPECT_EQ(window()->statusText(2), "Insert");
    EXPECT_EQ(window()->statusPanelCount(), 6);
}

TEST_F(Editor, AsmIsColouredByElementAndOtherFilesArePlain) {
    TDocument* source = open("c.asm", "\tmovlw 0x10 ; load\n");
    TMemo* memo = window()->Memo;
    ASSERT_TRUE(memo->picLexer());
    memo->recolor();
    const TTextStyles& elements = korvex->settings.MemoEnvOptions().TextStyles;
    int integer = memo->styleAt(7);  // the 0x10
    EXPECT_EQ(integer, 4);
    EXPECT_EQ(memo->picLexer()->foregroundOf(integer), QColor(Qt::red));    // "Integer" is 0x0000FF
    EXPECT_EQ(memo->picLexer()->fontOf(memo->styleAt(14)).italic(), true);  // the comment
    EXPECT_EQ(elements[4].Font.Color, 0x0000FFu);
    open("notes.txt", "movlw 0x10\n");
    EXPECT_FALSE(window()->Memo->lexer());
    EXPECT_TRUE(source);
}

TEST_F(Editor, TheErrorMarkColoursTheCaretLineUntilTheUserTypes) {
    TDocument* document = open("e.asm", "nop\nbad line\nnop\n");
    TEditor* editor = window();
    editor->Memo->setCursorPosition(1, 0);
    document->setLineStyle(1, 13);  // a breakpoint was there before
    editor->MarkErrorLine();
    editor->setStatusText(5, "Error[113] Symbol not previously defined");
    EXPECT_EQ(editor->MarkedLine, 1);
    EXPECT_EQ(document->lineStyle(1), 14);
    EXPECT_EQ(editor->Memo->lineStyleBackground(14), QColor(0x80, 0, 0));
    EXPECT_EQ(editor->Memo->lineStyleForeground(14), QColor(Qt::white));
    QTest::keyClick(editor->Memo, Qt::Key_Right);
    EXPECT_EQ(editor->MarkedLine, -1);
    EXPECT_EQ(document->lineStyle(1), 13);
    EXPECT_EQ(editor->statusText(5), "");
}

TEST_F(Editor, AMessageForALinePastTheEndMarksNoLine) {
    TDocument* document = open("e.asm", "nop\nnop\nnop\n");
    MainForm->InstallMessageLists();
    MainForm->messages->OpenMessage("Error[113]   " + document->fileName() +
                                    " 99 : Symbol not previously defined");
    EXPECT_EQ(window()->MarkedLine, -1);
    for (int line = 0; line < document->lineCount(); ++line)
        EXPECT_NE(document->lineStyle(line), 14) << "line " << line;
    EXPECT_EQ(window()->statusText(5), "Symbol not previously defined");
    MainForm->messages->OpenMessage("Error[113]   " + document->fileName() + " 3 : within the file");
    EXPECT_EQ(window()->MarkedLine, 2);  // the last line with text is still marked
}

TEST_F(Editor, LineNumbersAreReadableInEveryScheme) {
    open("n.asm");
    for (const char* scheme : {"Default", "Classic", "Twilight"}) {
        korvex->settings.ColorSetting = scheme;
        window()->applyOptions();
        TMemo* memo = window()->Memo;
        QColor numbers = memo->foregroundOfStyle(QsciScintillaBase::STYLE_LINENUMBER);
        QColor gutter = memo->backgroundOfStyle(QsciScintillaBase::STYLE_LINENUMBER);
        EXPECT_GE(ContrastRatio(numbers, gutter), 3.0) << scheme;
    }
}

TEST_F(Editor, AFontTheMachineLacksFallsBackToAFixedPitchFont) {
    if (FontInstalled("Letter Gothic"))
        GTEST_SKIP() << "this machine has Letter Gothic";
    korvex->settings.MemoEnvOptions().Font = {"Letter Gothic", 10, 0, 0};
    open("f.asm", "\tmovlw\t0x10\n");
    TMemo* memo = window()->Memo;
    ASSERT_TRUE(memo->lexer());
    // what draws on screen: an "i" as wide as an "M", in the control and in the coloured styles
    std::vector<QFont> fonts = {memo->font()};
    for (int style : {0, 3, 6})  // whitespace, identifiers, reserved words
        fonts.push_back(memo->lexer()->font(style));
    for (const QFont& font : fonts) {
        QFontMetricsF metrics(font);
        EXPECT_EQ(metrics.horizontalAdvance("iiii"), metrics.horizontalAdvance("MMMM"))
            << QFontInfo(font).family().toStdString();
    }
}

TEST_F(Editor, ALargeFileIsColouredAsItComesIntoViewAndExactlyAsTheParserSays) {
    QByteArray text;
    for (int i = 0; i < 20000; ++i)
        text += "label" + QByteArray::number(i) + "\tmovlw\tH'" + QByteArray::number(i % 256, 16) +
                "' ; count " + QByteArray::number(i) + (i % 3 ? "\n" : "\r\n");
    open("large.asm", text);
    TMemo* memo = window()->Memo;
    memo->resize(700, 400);
    memo->grab();
    // only what was shown is coloured
    long styled = memo->SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED);
    EXPECT_GT(styled, 0);
    EXPECT_LT(styled, text.size() / 10);
    // the last screen, once shown, is coloured as the parser colours the whole text
    memo->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
    memo->grab();
    std::vector<std::uint8_t> classes(size_t(text.size()));
    TPICParser().ParseText(std::string_view(text.constData(), size_t(text.size())), classes.data());
    long lastLine = memo->lines() - 2;
    long from = memo->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, lastLine);
    for (long p = from; p < text.size(); ++p)
        ASSERT_EQ(memo->styleAt(p), classes[size_t(p)]) << "at " << p;
    for (long p = 0; p < 200; ++p)
        ASSERT_EQ(memo->styleAt(p), classes[size_t(p)]) << "at " << p;
}

TEST_F(Editor, SchemeColoursApplyOnShowingAndNoSchemeKeepsWhiteOnBlack) {
    korvex->settings.ColorSetting = "";
    open("p.asm");
    EXPECT_EQ(window()->Memo->backgroundOfStyle(QsciScintillaBase::STYLE_DEFAULT), QColor(Qt::white));
    EXPECT_EQ(window()->Memo->foregroundOfStyle(QsciScintillaBase::STYLE_DEFAULT), QColor(Qt::black));
    korvex->settings.ColorSetting = "Classic";
    window()->hide();
    window()->show();
    EXPECT_EQ(window()->Memo->backgroundOfStyle(QsciScintillaBase::STYLE_DEFAULT),
              QColor(0, 0, 0x80));  // navy
    EXPECT_EQ(window()->Memo->foregroundOfStyle(QsciScintillaBase::STYLE_DEFAULT), QColor(Qt::yellow));
    EXPECT_EQ(window()->MarkedLine, -1);
}

// A placement record with these four corners as stored.
std::vector<uint8_t> Record(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    int32_t fields[11] = {44, 0, 1, -1, -1, -1, -1, left, top, right, bottom};
    std::vector<uint8_t> bytes;
    for (int32_t f : fields)
        for (int i = 0; i < 4; ++i)
            bytes.push_back(uint8_t(uint32_t(f) >> (8 * i)));
    return bytes;
}

TEST(Placement, ExtremeRecordsAreRejectedWithoutOverflowAndFarWindowsComeBack) {
    EXPECT_FALSE(NormalRectOf(Record(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX)));
    EXPECT_FALSE(NormalRectOf(Record(INT32_MAX, 0, INT32_MIN, 100)));
    EXPECT_FALSE(NormalRectOf(Record(-2000000000, 0, -1999999000, 500)));
    EXPECT_FALSE(NormalRectOf(std::vector<uint8_t>(43)));
    EXPECT_EQ(NormalRectOf(Record(40, 50, 650, 470)), QRect(40, 50, 610, 420));
    // 50,000 pixels to the right is on no screen: the window comes to the primary one
    QRect far = OnAScreen(QRect(50000, 300, 600, 400));
    EXPECT_TRUE(QGuiApplication::primaryScreen()->availableGeometry().contains(far.topLeft()));
    EXPECT_EQ(far.size(), QSize(600, 400));
    EXPECT_EQ(OnAScreen(QRect(40, 50, 610, 420)), QRect(40, 50, 610, 420));
}

TEST_F(Editor, WindowPlacementIsKeptForTheNextWindow) {
    open("w.asm");
    window()->setGeometry(40, 50, 610, 420);
    MainForm->FileClose->trigger();
    EXPECT_TRUE(WaitUntil([this] { return !window(); }));
    auto stored = korvex->registry.readBinary(RegRoot::CurrentUser,
                                              "Software\\Tervane\\Korvex v0.30\\Forms\\CodeEdit", "WinPos");
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->size(), 44u);
    open("w2.asm");
    EXPECT_EQ(window()->geometry().size(), QSize(610, 420));
}

TEST_F(Editor, ClosingTheWindowAsksForModifiedDocumentsAndCancelKeepsEverything) {
    TDocument* document = open("m.asm");
    document->setBytes("changed\n");
    prompter.willAnswerSave("Save changes to m.asm?", SaveAnswer::Cancel);
    EXPECT_FALSE(window()->close());
    EXPECT_TRUE(window()->isVisible());
    EXPECT_EQ(Documents->documents().size(), 1u);
}

TEST_F(Editor, FileCommandsSaveOnlyWhatChangedAndAskWhereNeeded) {
    TDocument* document = open("f.asm", "one\n");
    QFile::remove(document->fileName());
    MainForm->FileSave->trigger();  // unchanged: nothing is written
    EXPECT_FALSE(QFile::exists(document->fileName()));
    MainForm->FileNew->trigger();
    Documents->current()->setBytes("fresh\n");
    prompter.willCancelFile();
    MainForm->FileSave->trigger();  // an untitled document goes through Save As
    prompter.willAnswerSave("Save changes to Noname1?", SaveAnswer::Cancel, SaveButtons::YesNoCancel);
    MainForm->FileClose->trigger();
    EXPECT_EQ(Documents->documents().size(), 2u);
}

TEST_F(Editor, SavingUnderAnotherNameColoursByTheNewNameAndFollowsTheNewFile) {
    MainForm->FileNew->trigger();
    TDocument* document = Documents->current();
    document->setBytes("\tmovlw\t0x10\n");
    TMemo* memo = window()->Memo;
    EXPECT_FALSE(memo->lexer());  // Noname1 is plain text
    prompter.willChooseFile(QString::fromStdString((dir / "fresh.asm").string()));
    MainForm->FileSaveAs->trigger();
    ASSERT_TRUE(memo->lexer());
    memo->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0L, -1L);
    EXPECT_NE(memo->styleAt(1), 0);  // movlw shows as a word of the instruction set
    prompter.willChooseFile(QString::fromStdString((dir / "notes.txt").string()));
    MainForm->FileSaveAs->trigger();
    EXPECT_FALSE(memo->lexer());

    // a read-only document saved to a writable place can be edited there
    document->setReadOnly(true);
    memo->showDocument(nullptr);
    window()->showDocument(document);
    EXPECT_TRUE(memo->isReadOnly());
    EXPECT_EQ(window()->statusText(1), "Read Only");
    prompter.willChooseFile(QString::fromStdString((dir / "mine.asm").string()));
    MainForm->FileSaveAs->trigger();
    EXPECT_FALSE(document->isReadOnly());
    EXPECT_FALSE(memo->isReadOnly());
    EXPECT_EQ(window()->statusText(1), "");
    QTest::keyClick(memo, Qt::Key_X);
    EXPECT_TRUE(document->bytes().startsWith("x"));
}

// The user goes to another program and comes back to the editor window.
void ComeBackTo(QWidget* window) {
    QCoreApplication::processEvents();  // what the program did at once (the opened file takes the focus)
    MainForm->show();
    MainForm->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([] { return MainForm->isActiveWindow(); }));
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([window] { return window->isActiveWindow(); }));
    QCoreApplication::processEvents();
}

TEST_F(Editor, AFileChangedByAnotherProgramIsReadAgainOrNotSilentlyOverwritten) {
    QByteArray lines;
    for (int i = 1; i <= 30; ++i)
        lines += "line " + QByteArray::number(i) + "\r\n";
    TDocument* document = open("shared.asm", lines);
    document->setCaretLine(20);
    QByteArray theirs = lines + "\x00\xff odd bytes, no line end";
    write("shared.asm", theirs);
    ComeBackTo(window());
    EXPECT_EQ(document->bytes(), theirs);  // byte for byte
    EXPECT_FALSE(document->isModified());
    EXPECT_EQ(document->caretLine(), 20);

    // changed here and there: Save asks first
    document->setBytes("mine\n");
    write("shared.asm", "theirs again\n");
    ComeBackTo(window());
    EXPECT_EQ(document->bytes(), "mine\n");  // the user's work is not thrown away
    prompter.willConfirm(document->fileName() + " was changed by another program.\nSave over that change?",
                         false);
    MainForm->FileSave->trigger();
    EXPECT_EQ(ReadAll(dir / "shared.asm"), "theirs again\n");
    EXPECT_TRUE(document->isModified());
    prompter.willConfirm(document->fileName() + " was changed by another program.\nSave over that change?",
                         true);
    MainForm->FileSave->trigger();
    EXPECT_EQ(ReadAll(dir / "shared.asm"), "mine\n");
    MainForm->FileSave->trigger();  // saved by us: nothing to ask
    EXPECT_TRUE(prompter.allAnswered());
}

TEST_F(Editor, AFileDeletedByAnotherProgramIsSaidOnceAndOfferedForSaving) {
    TDocument* document = open("gone.asm", "keep me\n");
    QFile::remove(document->fileName());
    prompter.expectInformation(document->fileName() + " was deleted by another program; save it to keep it.");
    ComeBackTo(window());
    EXPECT_TRUE(document->isModified());
    ComeBackTo(window());  // said once
    MainForm->FileSave->trigger();
    EXPECT_EQ(ReadAll(dir / "gone.asm"), "keep me\n");
    EXPECT_TRUE(prompter.allAnswered());
}

// The error mark in one document and a bookmark in another: each keeps its own line's style.
class ErrorMark : public Editor {
  protected:
    void SetUp() override {
        Editor::SetUp();
        other = open("other.asm", "nop\nnop\nnop\n");
        other->setLineStyle(1, 18);  // a bookmark
        marked = open("marked.asm", "nop\nbad\nnop\n");
        marked->setLineStyle(1, 13);  // a breakpoint under the mark
        window()->Memo->setCursorPosition(1, 0);
        window()->MarkErrorLine();
        ASSERT_EQ(marked->lineStyle(1), 14);
    }
    // Both documents as they stand: the marked line's style is given back, the bookmark untouched.
    void expectMarkGone() {
        EXPECT_EQ(window()->MarkedLine, -1);
        EXPECT_EQ(marked->lineStyle(1), 13);
        EXPECT_EQ(other->lineStyle(1), 18);
    }
    TDocument* other = nullptr;
    TDocument* marked = nullptr;
};

TEST_F(ErrorMark, AClickOnAnotherTabGivesTheLineItsStyleBack) {
    window()->TabControl->setCurrentIndex(0);  // other.asm
    ASSERT_EQ(window()->Memo->document(), other);
    expectMarkGone();
    QTest::keyClick(window()->Memo, Qt::Key_Right);  // the next keystroke, in the other document
    expectMarkGone();
}

TEST_F(ErrorMark, AMessageOfAnotherFileMovesTheMarkThere) {
    MainForm->InstallMessageLists();
    MainForm->messages->OpenMessage("Error[113]   " + other->fileName() +
                                    " 3 : Symbol not previously defined");
    EXPECT_EQ(window()->Memo->document(), other);
    EXPECT_EQ(marked->lineStyle(1), 13);
    EXPECT_EQ(other->lineStyle(2), 14);
    EXPECT_EQ(other->lineStyle(1), 18);
    QTest::keyClick(window()->Memo, Qt::Key_Right);
    EXPECT_EQ(other->lineStyle(2), 0);
    EXPECT_EQ(other->lineStyle(1), 18);
}

TEST_F(ErrorMark, ShowingAnotherDocumentInTheWindowClearsIt) {
    window()->showDocument(other);
    expectMarkGone();
}

TEST_F(Editor, SearchCommandsWithNoDocumentDoNothing) {
    // no dialog and no message comes (the prompter fails on any it was not told of), nothing opens
    MainForm->SearchFind->trigger();
    MainForm->SearchReplace->trigger();
    MainForm->SearchAgain1->trigger();
    MainForm->GotoLineNumber1->trigger();
    MainForm->EditUndo->trigger();
    EXPECT_TRUE(Documents->documents().empty());
    EXPECT_FALSE(window());
    EXPECT_TRUE(MainForm->lastSearch.text.isEmpty());
    // the same commands with a document do ask: the silence above is the missing document's
    open("s.asm");
    prompter.willShowModal("GoToLineDlg", [](QDialog&) { return int(QDialog::Rejected); });
    MainForm->GotoLineNumber1->trigger();
    EXPECT_TRUE(prompter.allAnswered());
}

TEST_F(Editor, FindSelectsTheNextMatchAndSearchAgainRepeatsIt) {
    open("find.asm", "movlw 1\nmovwf PORTB\nmovlw 2\n");
    prompter.willShowModal("FindDialog", [](QDialog& dialog) {
        static_cast<TFindDialog&>(dialog).FindText->setText("MOVLW");
        return int(QDialog::Accepted);
    });
    MainForm->SearchFind->trigger();
    TMemo* memo = window()->Memo;
    EXPECT_EQ(memo->selectedText(), "movlw");
    EXPECT_EQ(memo->caretLine(), 0);
    MainForm->SearchAgain1->trigger();
    EXPECT_EQ(memo->caretLine(), 2);
    prompter.expectInformation("Search string 'MOVLW' not found");
    MainForm->SearchAgain1->trigger();
}

TEST_F(Editor, ReplaceAllChangesEveryMatchAsOneUndoStep) {
    TDocument* document = open("r.asm", "movlw 1\nmovlw 2\n");
    prompter.willShowModal("ReplaceDialog", [](QDialog& dialog) {
        auto& find = static_cast<TFindDialog&>(dialog);
        find.FindText->setText("movlw");
        find.ReplaceText->setText("addlw");
        find.ReplaceAllButton->click();
        return dialog.result();
    });
    prompter.expectInformation("2 occurrences replaced");
    MainForm->SearchReplace->trigger();
    EXPECT_EQ(document->bytes(), "addlw 1\naddlw 2\n");
    MainForm->EditUndo->trigger();
    EXPECT_EQ(document->bytes(), "movlw 1\nmovlw 2\n");
}

TEST_F(Editor, GoToLineMovesTheCaretKeepingItsColumn) {
    QByteArray text;
    for (int i = 1; i <= 12; ++i)
        text += "line " + QByteArray::number(i) + "\n";
    open("g.asm", text);
    TMemo* memo = window()->Memo;
    memo->setCursorPosition(0, 3);
    auto enter = [this](const QString& entry) {
        prompter.willShowModal("GoToLineDlg", [entry](QDialog& dialog) {
            EXPECT_FALSE(static_cast<TGoToLineDlg&>(dialog).ELine->text().isEmpty());
            static_cast<TGoToLineDlg&>(dialog).ELine->setText(entry);
            return int(QDialog::Accepted);
        });
        MainForm->GotoLineNumber1->trigger();
    };
    enter("10");
    EXPECT_EQ(memo->caretLine(), 9);
    EXPECT_EQ(memo->caretColumn(), 3);
    enter("");  // an empty entry means line 2
    EXPECT_EQ(memo->caretLine(), 1);
    enter("0");
    EXPECT_EQ(memo->caretLine(), 0);
    enter("99999");
    EXPECT_EQ(memo->caretLine(), 12);
    // the entry takes digits only, five at most
    GoToLineDlg->ELine->clear();
    QTest::keyClicks(GoToLineDlg->ELine, "12a3456");
    EXPECT_EQ(GoToLineDlg->ELine->text(), "12345");
}

TEST_F(Editor, TheQuitFlowAsksAboutRealDocumentsInTheirWindows) {
    TDocument* document = open("q.asm");
    document->setBytes("edited\n");
    prompter.willAnswerSave("Save changes to q.asm?", SaveAnswer::Yes);
    prompter.willConfirm("Do you want to quit Korvex?", false);
    EXPECT_FALSE(MainForm->close());
    QFile file(document->fileName());
    file.open(QIODevice::ReadOnly);
    EXPECT_EQ(file.readAll(), "edited\n");
}

TEST_F(Editor, NewEditWindowShowsTheSameDocumentInASecondWindow) {
    TDocument* document = open("two.asm", "nop\n");
    window()->PopupNewEditWindow->trigger();
    ASSERT_EQ(korvex->services.editors->windows().size(), 2u);
    TEditor* second = korvex->services.editors->windows()[0];
    EXPECT_EQ(second->Memo->document(), document);
    QTest::keyClick(second->Memo, Qt::Key_A);
    EXPECT_TRUE(document->bytes().startsWith("a"));
}

TEST_F(Editor, TheMainMenuShortcutsAndTheEditorCommandsWorkFromTheEditorWindow) {
    TDocument* document = open("k.asm", "nop\n");
    TMemo* memo = window()->Memo;
    MainForm->show();  // the menu's shortcuts live while the main window shows
    QApplication::setActiveWindow(window());
    QTest::keyClick(memo, Qt::Key_A);
    QTest::keyClick(memo, Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(document->isModified());
    prompter.willShowModal("GoToLineDlg", [](QDialog&) { return int(QDialog::Rejected); });
    EXPECT_TRUE(window()->VerbDispatcher1.Execute("Edit.GotoLine"));
    MainForm->FileClose->trigger();
    EXPECT_TRUE(WaitUntil([this] { return !window(); }));
    EXPECT_FALSE(ActiveSource());
}

TEST_F(Editor, SaveAsRenamesTheTabAndANewUntitledDocumentGetsItsOwn) {
    MainForm->FileNew->trigger();
    Documents->current()->setBytes("nop\n");
    QString named = QString::fromStdString((dir / "named.asm").string());
    prompter.willChooseFile(named);
    MainForm->FileSaveAs->trigger();
    EXPECT_EQ(tabs(), QStringList{"named.asm"});
    EXPECT_EQ(window()->tabPaths(), QStringList{named});
    EXPECT_EQ(window()->windowTitle(), named);
    MainForm->FileNew->trigger();
    EXPECT_EQ(tabs(), (QStringList{"named.asm", "Noname1"}));
    // saving over another open document's file is refused
    TDocument* untitled = Documents->current();
    untitled->setBytes("other\n");
    prompter.willChooseFile(named);
    prompter.expectError(named + " is open in another tab; close it before saving over it");
    MainForm->FileSaveAs->trigger();
    EXPECT_TRUE(untitled->isUntitled());
}

TEST_F(Editor, SavingAnUntitledDocumentWithoutChangesAsksNothing) {
    MainForm->FileNew->trigger();
    MainForm->FileSave->trigger();
    EXPECT_TRUE(Documents->current()->isUntitled());
}

TEST_F(Editor, ATabKeepsItsCaretWhenTheUserSwitchesAway) {
    QByteArray text;
    for (int i = 0; i < 200; ++i)
        text += "line\n";
    open("long.asm", text);
    window()->Memo->setCursorPosition(150, 2);
    open("other.asm");
    window()->TabControl->setCurrentIndex(0);
    EXPECT_EQ(window()->Memo->caretLine(), 150);
    EXPECT_EQ(window()->Memo->caretColumn(), 2);
}

TEST_F(Editor, CtrlDelDeletesTheSelection) {
    TDocument* document = open("d.asm", "alpha beta\n");
    TMemo* memo = window()->Memo;
    MainForm->show();  // the menu's shortcuts live while the main window shows
    QApplication::setActiveWindow(window());
    memo->setSelection(0, 0, 0, 5);
    QTest::keyClick(memo, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(document->bytes(), " beta\n");
}

TEST_F(Editor, AReadOnlyFileSaysSo) {
    QString locked = write("locked.asm", "nop\n");
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::ReadUser);
    if (QFileInfo(locked).isWritable())
        GTEST_SKIP() << "root can write any file";
    Documents->open(locked);
    EXPECT_EQ(window()->statusText(1), "Read Only");
}

TEST_F(Editor, ReplaceWorksWithPatternsAndOnAMatchTheUserSelected) {
    TDocument* document = open("p.asm", "movlw 1\nmovwf 2\nmovlw 3\n");
    TMemo* memo = window()->Memo;
    auto replace = [this](const QString& find, const QString& with, bool pattern, bool all,
                          QString note = {}) {
        prompter.willShowModal("ReplaceDialog", [=](QDialog& dialog) {
            auto& d = static_cast<TFindDialog&>(dialog);
            d.FindText->setText(find);
            d.ReplaceText->setText(with);
            d.RegularExpression->setChecked(pattern);
            if (all)
                d.ReplaceAllButton->click();
            return all ? dialog.result() : int(QDialog::Accepted);
        });
        if (!note.isEmpty())
            prompter.expectInformation(note);
        MainForm->SearchReplace->trigger();
    };
    memo->setSelection(1, 0, 1, 5);  // the user selected "movwf"
    replace("movwf", "clrf ", false, false);
    EXPECT_EQ(document->bytes(), "movlw 1\nclrf  2\nmovlw 3\n");
    memo->setCursorPosition(0, 0);
    replace("mov.w", "addlw", true, false);  // the first Replace selects the match
    replace("mov.w", "addlw", true, false);  // the second replaces it
    EXPECT_EQ(document->bytes(), "addlw 1\nclrf  2\nmovlw 3\n");
    // a pattern that matches an empty text moves on and ends
    replace("^", ";", true, true, "4 occurrences replaced");  // the empty last line starts a line too
    EXPECT_EQ(document->bytes(), ";addlw 1\n;clrf  2\n;movlw 3\n;");
}

}  // namespace
