// SPDX-License-Identifier: GPL-3.0-or-later
// Line styles: whole-line colour elements ("BreakPoint", "Error Line", ...) shown on lines of an editor.
#pragma once

#include "editctl/MemoOptions.h"

#include <array>
#include <string_view>

class QsciScintilla;

// The five colour elements that colour a whole line, and the line's "no line style".
enum class LineStyle { None, BreakPoint, ErrorLine, ExecutionPoint, Counter, Bookmark };

// The colour element a line style draws with: "BreakPoint", "Error Line", "Execution point", "Counter",
// "Bookmark"; empty for None.
std::string_view LineStyleElement(LineStyle style);

// Shows line styles on a QsciScintilla: each style is a background marker (the element's background,
// over the whole line) plus a text-colour indicator (the element's foreground, over the line's text), so
// both colours of the element show. A line carries at most one line style. Markers 20..24 and indicators
// 8..12 (the first container indicators) are taken for this on every editor it is used with.
class LineStyles {
  public:
    static constexpr int kFirstMarker = 20;
    static constexpr int kFirstIndicator = 8;

    // Defines the markers and indicators on `editor` with the colours of the five elements in `elements`
    // (an element missing from the table leaves its style without colours). Call again whenever the
    // elements change; lines keep their styles.
    static void Install(QsciScintilla& editor, const TTextStyles& elements);
    // Gives `line` (from 0) the style, replacing the one it had; None clears it. A line past the end is
    // left alone. The text colour covers the line's text as it is now: set the style again after an edit.
    static void SetLineStyle(QsciScintilla& editor, int line, LineStyle style);
    // The style of `line`, None when it has none or does not exist.
    static LineStyle GetLineStyle(QsciScintilla& editor, int line);
};
