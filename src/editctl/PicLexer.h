// SPDX-License-Identifier: GPL-3.0-or-later
// PicLexer: colours PIC assembler in a QScintilla editor with TPICParser, one style per colour element.
#pragma once

#include "editctl/MemoOptions.h"
#include "editor/PICParser.h"

#include <Qsci/qscilexercustom.h>

#include <QColor>
#include <QFont>

class QsciScintilla;

// The syntax-colouring adapter of the editor control. Every line is run through TPICParser and each byte
// gets the parser's class as its QScintilla style, so style n draws colour element n (the 21 elements,
// "Whitespace" first). The parser's line state is kept per line in the editor (SCI_SETLINESTATE) and
// handed to the next line; styling always restarts at the beginning of the line that changed.
//
// Colours come from a TTextStyles table and a font: style n takes element n's foreground (Font.Color),
// background (Color) and bold, italic, underline, strike-out (Font.Style) on the given font. Call
// setColorElements again whenever the elements change; the attached editor redraws at once.
// The family the editor draws a font name in: the name itself when the machine has it or a fixed-pitch
// stand-in for it (Courier New is Liberation Mono here); otherwise the system's fixed-pitch font, never a
// proportional one that would break the columns of assembler source.
QString EditorFontFamily(const QString& name);
// The machine has a font of exactly this family name.
bool FontInstalled(const QString& name);

class PicLexer : public QsciLexerCustom {
    Q_OBJECT
  public:
    explicit PicLexer(QObject* parent = nullptr);

    const char* language() const override { return "PIC assembler"; }
    // The colour element name of a style; empty beyond the 21 elements.
    QString description(int style) const override;
    // Styles the bytes from the start of the line holding `start` up to `end`.
    void styleText(int start, int end) override;

    // Takes each style's colours and font style from the element of the same index, on `font`.
    // Elements beyond the table keep the default colours (black on white).
    void setColorElements(const TTextStyles& elements, const TFont& font);

    // What a style draws with now.
    QColor foregroundOf(int style) const { return color(style); }
    QColor backgroundOf(int style) const { return paper(style); }
    QFont fontOf(int style) const { return font(style); }

    // The QFont for an option font: its name, its size in points and its bold/italic/underline/strike-out.
    static QFont ToQFont(const TFont& font, uint32_t style);

  protected:
    QColor defaultColor(int style) const override;
    QColor defaultPaper(int style) const override;
    QFont defaultFont(int style) const override;

  private:
    TPICParser parser_;
    std::vector<std::uint8_t> styles_;  // the classes of the range being styled
    TFont font_;
};
