// SPDX-License-Identifier: GPL-3.0-or-later
// The syntax-colouring adapter and the line styles on a QScintilla editor: styles, colours, line state.
#include "editctl/LineStyles.h"
#include "editctl/PicLexer.h"

#include "QtPrinters.h"
#include "platform/Colors.h"

#include <Qsci/qsciscintilla.h>

#include <gtest/gtest.h>

#include <string>

namespace {

class PicColouring : public ::testing::Test {
  protected:
    void SetUp() override {
        editor.setUtf8(true);
        editor.setLexer(&lexer);
        lexer.setColorElements(DefaultTextStyles(), TFont{});
    }
    void TearDown() override { editor.setLexer(nullptr); }

    void load(const QString& text) {
        editor.setText(text);
        colourise(0);
    }
    // Styles the text from `position` on, as the editor does after an edit there.
    void colourise(long position) { editor.SendScintilla(QsciScintilla::SCI_COLOURISE, position, -1L); }
    long lineStart(int line) { return editor.SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE, line); }
    // The style of every byte of a line, one letter per byte: the style number in base 36.
    std::string stylesOf(int line) {
        std::string result;
        long end = editor.SendScintilla(QsciScintilla::SCI_GETLINEENDPOSITION, line);
        for (long p = lineStart(line); p < end; ++p) {
            int style = int(editor.SendScintilla(QsciScintilla::SCI_GETSTYLEAT, p));
            result += "0123456789abcdefghijklmnopqrstuvwxyz"[style];
        }
        return result;
    }
    QColor sciColour(int message, int style) {
        return ToQColor(uint32_t(editor.SendScintilla(message, style)));
    }

    QsciScintilla editor;
    PicLexer lexer;
};

TEST_F(PicColouring, EachByteGetsTheClassOfItsToken) {
    load(
        "  movlw H'55' ;execution point\n"
        "include \"serial.asm\" ;preprocessor\r\n"
        "msg da 1.5 ; caf\u00e9\n"
        "  n5op 0x1F");
    EXPECT_EQ(stylesOf(0), "006666604444402222222222222222");
    EXPECT_EQ(stylesOf(1), "8888888888888888888882222222222222");
    // the two-byte letter in the comment moves nothing after it
    EXPECT_EQ(stylesOf(2), "3330ff055502222222");
    EXPECT_EQ(stylesOf(3), "00333304444");
}

TEST_F(PicColouring, RestylingStartsAtTheBeginningOfTheChangedLine) {
    load("movlw 1\nmovlw 2\n");
    // spoil the second line's styles, then ask from the middle of its word
    editor.SendScintilla(QsciScintilla::SCI_STARTSTYLING, lineStart(1));
    editor.SendScintilla(QsciScintilla::SCI_SETSTYLING, 7L, 9L);
    colourise(lineStart(1) + 2);
    EXPECT_EQ(stylesOf(1), "6666604");
}

TEST_F(PicColouring, LineStateCarriesFromLineToLine) {
    load("nop\nnop\nnop\nnop\n");
    for (int line = 0; line < 4; ++line)
        EXPECT_EQ(editor.SendScintilla(QsciScintilla::SCI_GETLINESTATE, line), 0) << line;
    // the parser hands on what it is given: a state stored on line 1 must reach lines 2 and 3
    editor.SendScintilla(QsciScintilla::SCI_SETLINESTATE, 1, 7L);
    colourise(lineStart(2));
    EXPECT_EQ(editor.SendScintilla(QsciScintilla::SCI_GETLINESTATE, 1), 7);
    EXPECT_EQ(editor.SendScintilla(QsciScintilla::SCI_GETLINESTATE, 2), 7);
    EXPECT_EQ(editor.SendScintilla(QsciScintilla::SCI_GETLINESTATE, 3), 7);
}

TEST_F(PicColouring, StylesTakeTheColoursAndFontStylesOfTheElements) {
    TTextStyles elements = DefaultTextStyles();
    TFont font{"Courier New", 12, 0, 0};
    lexer.setColorElements(elements, font);
    EXPECT_EQ(sciColour(QsciScintilla::SCI_STYLEGETFORE, 4), ToQColor(0x0000FF));  // Integer: red
    EXPECT_EQ(sciColour(QsciScintilla::SCI_STYLEGETBACK, 4), ToQColor(0xFFFFFF));
    EXPECT_TRUE(editor.SendScintilla(QsciScintilla::SCI_STYLEGETITALIC, 2));  // Comment
    // QScintilla hands Scintilla the Qt font weight in its own encoding, so ask the lexer for bold
    EXPECT_TRUE(lexer.fontOf(6).bold());  // Reserved words
    EXPECT_FALSE(lexer.fontOf(3).bold());
    EXPECT_EQ(lexer.fontOf(6).pointSize(), 12);
    EXPECT_EQ(lexer.description(15), "Pseudo ResWords");

    // the elements change: the editor follows at once
    elements.Find("Comment")->Font = {0xC0C0C0, Bit(fsUnderline) | Bit(fsStrikeOut)};
    elements.Find("Comment")->Color = 0x000000;
    lexer.setColorElements(elements, font);
    EXPECT_EQ(sciColour(QsciScintilla::SCI_STYLEGETFORE, 2), ToQColor(0xC0C0C0));
    EXPECT_EQ(sciColour(QsciScintilla::SCI_STYLEGETBACK, 2), ToQColor(0x000000));
    EXPECT_FALSE(editor.SendScintilla(QsciScintilla::SCI_STYLEGETITALIC, 2));
    EXPECT_TRUE(editor.SendScintilla(QsciScintilla::SCI_STYLEGETUNDERLINE, 2));
    EXPECT_TRUE(lexer.fontOf(2).strikeOut());
}

TEST_F(PicColouring, LineStylesShowBothColoursAndOneStylePerLine) {
    load("nop\nsetz ;breakpoint\nnop");
    TTextStyles elements = DefaultTextStyles();
    LineStyles::Install(editor, elements);
    LineStyles::SetLineStyle(editor, 1, LineStyle::BreakPoint);
    EXPECT_EQ(LineStyles::GetLineStyle(editor, 1), LineStyle::BreakPoint);
    EXPECT_EQ(LineStyles::GetLineStyle(editor, 0), LineStyle::None);
    int indicator = LineStyles::kFirstIndicator;  // BreakPoint's
    EXPECT_EQ(editor.SendScintilla(QsciScintilla::SCI_INDICATORVALUEAT, indicator, lineStart(1)), 1);
    EXPECT_EQ(editor.SendScintilla(QsciScintilla::SCI_INDICATORVALUEAT, indicator, lineStart(1) + 15), 1);
    EXPECT_EQ(editor.SendScintilla(QsciScintilla::SCI_INDICATORVALUEAT, indicator, lineStart(2)), 0);
    EXPECT_EQ(sciColour(QsciScintilla::SCI_INDICGETFORE, indicator), ToQColor(0xFFFFFF));

    // a new style replaces the old one; None clears the line
    LineStyles::SetLineStyle(editor, 1, LineStyle::ErrorLine);
    EXPECT_EQ(LineStyles::GetLineStyle(editor, 1), LineStyle::ErrorLine);
    EXPECT_EQ(editor.SendScintilla(QsciScintilla::SCI_INDICATORVALUEAT, indicator, lineStart(1)), 0);
    EXPECT_EQ(editor.markersAtLine(1), 1u << (LineStyles::kFirstMarker + 1));
    LineStyles::SetLineStyle(editor, 1, LineStyle::None);
    EXPECT_EQ(editor.markersAtLine(1), 0u);

    // recolouring keeps the lines' styles; a line past the end is left alone
    LineStyles::SetLineStyle(editor, 2, LineStyle::Bookmark);
    elements.Find("Bookmark")->Font.Color = 0x00FF00;
    LineStyles::Install(editor, elements);
    EXPECT_EQ(LineStyles::GetLineStyle(editor, 2), LineStyle::Bookmark);
    EXPECT_EQ(sciColour(QsciScintilla::SCI_INDICGETFORE, LineStyles::kFirstIndicator + 4),
              ToQColor(0x00FF00));
    LineStyles::SetLineStyle(editor, 9, LineStyle::Counter);
    EXPECT_EQ(LineStyles::GetLineStyle(editor, 9), LineStyle::None);
    EXPECT_EQ(LineStyleElement(LineStyle::ExecutionPoint), "Execution point");
}

}  // namespace
