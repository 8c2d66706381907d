// SPDX-License-Identifier: GPL-3.0-or-later
// Finding one's way in the counter example through a real editor window: Go to Definition into the include
// file and Back and Forward, Ctrl+click, Find References, hover help, completion, the Symbols window, and a
// name used but defined nowhere underlined as it is typed.
#include "QtPrinters.h"
#include "ScriptedPrompter.h"
#include "TempDir.h"
#include "editctl/DocumentManager.h"
#include "editctl/Memo.h"
#include "editor/MyEditUnit.h"
#include "editor/ProgramSymbols.h"
#include "shell/Idefunction.h"
#include "shell/Main.h"
#include "shell/Startup.h"
#include "shell/SymbolHelp.h"
#include "shell/SymbolWindows.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QFile>
#include <QListWidget>
#include <QTest>
#include "GTestQTry.h"
#include <QToolTip>

#include <filesystem>
#include <random>

namespace {

namespace fs = std::filesystem;

class Symbols : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!fs::is_directory("/usr/share/gputils/header"))
            GTEST_SKIP() << "gputils' headers are not installed (scripts/bootstrap installs gputils)";
        korvex = std::make_unique<TKorvex>(dir / "config", prompter);
        for (const auto& entry : fs::directory_iterator(fs::path(KORVEX_SOURCE_DIR) / "examples/counter"))
            fs::copy_file(entry.path(), dir / entry.path().filename());
        prompter.willChooseFile(path("counter.pro"));
        MainForm->ProjectOpen->trigger();
        document = korvex->documents.open(path("counter.asm"));
        ASSERT_TRUE(document);
        korvex->services.editors->ShowAndRaise(document);
    }
    void TearDown() override {
        for (TDocument* d : korvex ? korvex->documents.documents() : std::vector<TDocument*>{})
            d->setModified(false);
        korvex.reset();
    }
    QString path(const char* name) { return QString::fromStdString((dir / name).string()); }
    TEditor* editor() { return korvex->services.editors->first(); }
    TMemo* memo() { return editor()->Memo; }
    // The caret on the first `word` of the shown text, after `after` when given.
    void caretOn(const QString& word, const QString& after = {}) {
        QString text = memo()->text();
        int at = text.indexOf(QRegularExpression("\\b" + word + "\\b"), after.isEmpty() ? 0 : text.indexOf(after));
        ASSERT_GE(at, 0) << word.toStdString();
        int line = 0, column = 0;
        memo()->lineIndexFromPosition(int(text.left(at).toUtf8().size()) + 1, &line, &column);
        memo()->setCursorPosition(line, column);
    }
    // "file:line" of the caret, lines from 1.
    std::string place() {
        int line = 0, column = 0;
        memo()->getCursorPosition(&line, &column);
        return fs::path(memo()->document()->fileName().toStdString()).filename().string() + ":" + std::to_string(line + 1);
    }
    QString tipOf(const QString& word) {
        QToolTip::hideText();
        QString text = memo()->text();
        int at = text.indexOf(QRegularExpression("\\b" + word + "\\b"));
        if (at < 0 || !editor()->showHoverAt(int(text.left(at).toUtf8().size()) + 1))
            return {};
        return QToolTip::text();
    }
    // The undefined-name marks of the shown document: the words they underline.
    QStringList underlined() {
        QsciScintilla* buffer = memo()->document()->buffer();
        QStringList words;
        long length = buffer->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
        for (long at = 0; at < length;) {
            long end = buffer->SendScintilla(QsciScintillaBase::SCI_INDICATOREND, 16L, at);
            if (buffer->SendScintilla(QsciScintillaBase::SCI_INDICATORVALUEAT, 16L, at))
                words << buffer->text().toUtf8().mid(int(at), int(end - at));
            at = end > at ? end : at + 1;
        }
        return words;
    }

    TempDir dir;
    ScriptedPrompter prompter;
    std::unique_ptr<TKorvex> korvex;
    TDocument* document = nullptr;
};

TEST_F(Symbols, GoToDefinitionOpensTheIncludeFileAndBackAndForwardWalkThePlacesVisited) {
    caretOn("Delay", "call");
    std::string from = place();
    MainForm->SearchGoToDefinition->trigger();
    EXPECT_EQ(place(), "delay.inc:12");  // Delay   movlw ...
    ASSERT_TRUE(MainForm->SearchBack->isEnabled());
    caretOn("DelayOuter", "DelayLp");
    MainForm->SearchGoToDefinition->trigger();
    EXPECT_EQ(place(), "delay.inc:8");  // in the CBLOCK
    MainForm->SearchBack->trigger();
    EXPECT_EQ(place(), "delay.inc:18");  // where Go to Definition was asked for
    MainForm->SearchBack->trigger();
    EXPECT_EQ(place(), from);
    EXPECT_FALSE(MainForm->SearchBack->isEnabled());
    MainForm->SearchForward->trigger();
    EXPECT_EQ(place(), "delay.inc:18");
    // a header's register: the processor header that gputils ships
    MainForm->SearchBack->trigger();
    caretOn("PORTB", "movwf");
    MainForm->SearchGoToDefinition->trigger();
    EXPECT_EQ(memo()->document()->fileName(), "/usr/share/gputils/header/p16f877a.inc");
    // Ctrl+click on a word
    MainForm->SearchBack->trigger();
    caretOn("Loop", "goto");
    int line = 0, column = 0;
    memo()->getCursorPosition(&line, &column);
    long position = memo()->positionFromLineIndex(line, column);
    QPoint point(int(memo()->SendScintilla(TMemo::SCI_POINTXFROMPOSITION, 0L, position)) + 2,
                 int(memo()->SendScintilla(TMemo::SCI_POINTYFROMPOSITION, 0L, position)) + 3);
    QTest::mouseClick(memo()->viewport(), Qt::LeftButton, Qt::ControlModifier, point);
    QTRY_COMPARE(QString::fromStdString(place()), QString("counter.asm:30"));
}

TEST_F(Symbols, FindReferencesListsEveryUseAndARowOpensItsLine) {
    caretOn("Count", "clrf");
    MainForm->SearchFindReferences->trigger();
    QListWidget* list = MainForm->ReferencesWindow->List;
    ASSERT_TRUE(MainForm->ReferencesWindow->isVisible());
    QStringList rows;
    for (int row = 0; row < list->count(); ++row)
        rows << list->item(row)->text();
    // the CBLOCK line, clrf, movf, incf
    ASSERT_EQ(rows.size(), 4) << rows.join(" | ").toStdString();
    EXPECT_TRUE(rows[0].startsWith("counter.asm:21: Count")) << rows[0].toStdString();
    EXPECT_TRUE(rows[3].contains("incf")) << rows[3].toStdString();
    emit list->itemActivated(list->item(3));
    EXPECT_TRUE(memo()->text(memo()->SendScintilla(TMemo::SCI_LINEFROMPOSITION, memo()->SendScintilla(TMemo::SCI_GETCURRENTPOS)))
                    .contains("incf"));
}

TEST_F(Symbols, HoverHelpTellsInstructionsSymbolsAndBits) {
    EXPECT_EQ(tipOf("incf"), "INCF f,d\nIncrement f by one; result in W if d = 0, in f if d = 1.\nCycles: 1. STATUS bits: Z.");
    EXPECT_EQ(tipOf("Count"), "Count: cblock at counter.asm:21, 0x20 = 32 = 0b00100000");
    EXPECT_EQ(tipOf("RP0"), "RP0: bit 5 of STATUS\nRP0: constant at p16f877a.inc:126, 0x5 = 5 = 0b00000101");
    EXPECT_TRUE(tipOf("cblock").startsWith("CBLOCK [address]"));
    EXPECT_EQ(tipOf("Loop"), "Loop: label at counter.asm:30");
}

TEST_F(Symbols, CompletionOffersMnemonicsDirectivesSymbolsAndBitsForWhatIsTyped) {
    QStringList items = MainForm->CompletionItems("del");
    EXPECT_TRUE(items.contains("Delay  label")) << items.join(" | ").toStdString();
    EXPECT_TRUE(items.contains("DelayOuter  cblock 0x71 = 113 = 0b01110001")) << items.join(" | ").toStdString();
    items = MainForm->CompletionItems("mov");
    EXPECT_TRUE(items.contains("movlw  instruction"));
    EXPECT_TRUE(items.contains("movwf  instruction"));
    items = MainForm->CompletionItems("rp");
    EXPECT_TRUE(items.contains("RP0  constant 0x5 = 5 = 0b00000101")) << items.join(" | ").toStdString();
    // chosen from the list in the editor: the word begun becomes the name
    memo()->SendScintilla(TMemo::SCI_DOCUMENTEND);
    memo()->insert("        incf Del");
    memo()->SendScintilla(TMemo::SCI_DOCUMENTEND);
    QTest::keyClick(memo(), Qt::Key_Space, Qt::ControlModifier);
    ASSERT_TRUE(memo()->isListActive());
    QTest::keyClick(memo(), Qt::Key_Down);  // Delay, then DelayIn
    QTest::keyClick(memo(), Qt::Key_Return);
    EXPECT_EQ(memo()->text(memo()->lines() - 1), "        incf DelayIn");
}

TEST_F(Symbols, TheSymbolsWindowOutlinesTheFileAndFollowsTheCaret) {
    MainForm->SearchSymbols->trigger();
    QListWidget* list = MainForm->SymbolsWindow->List;
    QStringList rows;
    for (int row = 0; row < list->count(); ++row)
        rows << list->item(row)->text().simplified();
    EXPECT_EQ(rows, (QStringList{"21 cblock Count", "25 label Start", "30 label Loop"})) << rows.join(" | ").toStdString();
    caretOn("incf");
    QTRY_COMPARE(list->currentRow(), 2);
    emit list->itemClicked(list->item(1));
    EXPECT_EQ(place(), "counter.asm:25");
}

TEST_F(Symbols, ANameDefinedNowhereIsUnderlinedAsItIsTypedAndNotOnceDefined) {
    EXPECT_EQ(underlined(), QStringList());
    memo()->SendScintilla(TMemo::SCI_DOCUMENTEND);
    QTest::keyClicks(memo(), "        movwf Counted");
    memo()->grab();  // typed text is drawn; the screen's update tells the index
    QTRY_COMPARE(underlined(), QStringList{"Counted"});
    // defined in the include file: no longer underlined
    TDocument* delay = korvex->documents.open(path("delay.inc"));
    ASSERT_TRUE(delay);
    delay->setBytes(delay->bytes() + "Counted equ 0x30\n");
    korvex->services.editors->ShowAndRaise(document);
    MainForm->programSymbols->Sync(delay);
    emit MainForm->programSymbols->changed();
    EXPECT_EQ(underlined(), QStringList());
    // an include that cannot be found: the index is not certain, nothing is underlined
    memo()->setCursorPosition(0, 0);
    memo()->insert("        #include \"nowhere.inc\"\n        movwf Unknown\n");
    MainForm->programSymbols->Sync(document);
    emit MainForm->programSymbols->changed();
    EXPECT_EQ(underlined(), QStringList());
}

TEST_F(Symbols, AnIncludeFileChangedOnDiskByAnotherProgramIsReadAgain) {
    ASSERT_TRUE(MainForm->programSymbols->index().Knows("DelayOuter"));
    // another editor renames the counter in delay.inc, which no Korvex window shows
    QFile file(path("delay.inc"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray text = file.readAll().replace("DelayOuter", "DelayRounds");
    file.close();
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
    file.close();
    QTRY_VERIFY(MainForm->programSymbols->index().Knows("DelayRounds"));
    EXPECT_FALSE(MainForm->programSymbols->index().Knows("DelayOuter"));
    EXPECT_EQ(MainForm->programSymbols->index().Value("DelayRounds"), 0x71);
}

TEST_F(Symbols, AnyEditIsFollowedLineForLineAsIfTheTextWereReadAnew) {
    // lines inserted, removed and changed anywhere, with every kind of line end: the index reads only what
    // changed and ends up as a fresh reading of the text
    std::mt19937 random(7);
    QList<QByteArray> pieces{"Start   bsf STATUS,RP0", "        cblock 0x30", "A", "B:2", "        endc",
                             "Lbl     equ 0x22", "", "        movwf A", "M macro x", " local q", "q goto q", " endm"};
    const char* ends[] = {"\n", "\r\n", "\r"};
    for (int round = 0; round < 200; ++round) {
        QByteArray text;
        int lines = int(random() % 12);
        for (int i = 0; i < lines; ++i)
            text += pieces[int(random() % pieces.size())] + ends[random() % 3];
        if (random() % 2)
            text += pieces[int(random() % pieces.size())];  // a last line without a line end
        document->setBytes(text);
        MainForm->programSymbols->Sync(document);
        picsym::FileSymbols fresh;
        fresh.SetText(std::string_view(text.constData(), size_t(text.size())));
        const picsym::FileSymbols* indexed = MainForm->programSymbols->index().file(TProgramSymbols::PathOf(document));
        ASSERT_TRUE(indexed);
        ASSERT_EQ(indexed->lineCount(), fresh.lineCount()) << round << ": " << text.toStdString();
        for (int line = 0; line < fresh.lineCount(); ++line) {
            ASSERT_EQ(indexed->text(line), fresh.text(line)) << round << " line " << line;
            ASSERT_EQ(indexed->line(line).after, fresh.line(line).after) << round << " line " << line;
            ASSERT_EQ(indexed->line(line).definitions.size(), fresh.line(line).definitions.size()) << round;
        }
    }
}

}  // namespace
