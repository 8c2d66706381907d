// SPDX-License-Identifier: GPL-3.0-or-later
// The editor control: a QScintilla view on a shared document, with the editor options applied.
#pragma once

#include "editctl/Document.h"

#include <Qsci/qsciscintilla.h>

#include <QPointer>

#include <optional>

class PicLexer;

struct TMemoEnvOptions;
struct TMemoSourceOptions;

class TMemo : public QsciScintilla {
    Q_OBJECT
  public:
    // What a state-change notice names.
    enum Change { PositionChanged = 1, ModifiedChanged = 2, TypingModeChanged = 4 };

    explicit TMemo(QWidget* parent = nullptr);

    // Shows a document (or none): the view takes its buffer, encoding, line end and colouring.
    void showDocument(TDocument* document);
    TDocument* document() const { return document_; }

    // Tab stops, indenting, margin, gutter, font and colours from the option objects.
    void applyOptions(const TMemoSourceOptions& source, const TMemoEnvOptions& env);
    // The colours of a colour scheme: background, text, line numbers (0x00BBGGRR).
    void applySchemeColours(uint32_t background, uint32_t text, uint32_t lineNumbers);

    int caretLine() const;
    int caretColumn() const;
    bool isOverwrite() const;

    // The style number drawn at a position, and the colours it is drawn in.
    int styleAt(long position) const;
    QColor foregroundOfStyle(int style) const;
    QColor backgroundOfStyle(int style) const;
    PicLexer* picLexer() const { return lexer_; }
    // The colours a line style's marker and text indicator are drawn in.
    QColor lineStyleBackground(int element) const;
    QColor lineStyleForeground(int element) const;

  signals:
    void stateChanged(int changes);
    // A key or mouse button was pressed in the control (the error mark goes away on these).
    void userInteraction();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    // With "double click line" a double click selects the whole line.
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    bool wantsColouring() const;
    void applyColouring();
    // Defines the gutter marks' symbols at the line height and shows them in the gutter, or among the line
    // numbers while the gutter is hidden.
    void installGutterMarks();

    struct SchemeColours {
        uint32_t background, text, lineNumbers;
    };
    QPointer<TDocument> document_;
    PicLexer* lexer_ = nullptr;
    const TMemoEnvOptions* env_ = nullptr;
    std::optional<SchemeColours> scheme_;
};
