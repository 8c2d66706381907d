// SPDX-License-Identifier: GPL-3.0-or-later
// Line styles drawn as a background marker plus a text-colour indicator on a QScintilla editor.
#include "editctl/LineStyles.h"

#include "platform/Colors.h"

#include <Qsci/qsciscintilla.h>

namespace {

constexpr std::array<LineStyle, 5> kStyles = {LineStyle::BreakPoint, LineStyle::ErrorLine,
                                              LineStyle::ExecutionPoint, LineStyle::Counter,
                                              LineStyle::Bookmark};

// Index of a style among the five (0..4); -1 for None.
int SlotOf(LineStyle style) {
    return int(style) - 1;
}

}  // namespace

std::string_view LineStyleElement(LineStyle style) {
    switch (style) {
        case LineStyle::BreakPoint:
            return "BreakPoint";
        case LineStyle::ErrorLine:
            return "Error Line";
        case LineStyle::ExecutionPoint:
            return "Execution point";
        case LineStyle::Counter:
            return "Counter";
        case LineStyle::Bookmark:
            return "Bookmark";
        case LineStyle::None:
            break;
    }
    return {};
}

void LineStyles::Install(QsciScintilla& editor, const TTextStyles& elements) {
    for (LineStyle style : kStyles) {
        int slot = SlotOf(style);
        int marker = editor.markerDefine(QsciScintilla::Background, kFirstMarker + slot);
        int indicator = editor.indicatorDefine(QsciScintilla::TextColorIndicator, kFirstIndicator + slot);
        const TTextStyle* element = elements.Find(LineStyleElement(style));
        if (!element)
            continue;
        editor.setMarkerBackgroundColor(ToQColor(element->Color), marker);
        editor.setIndicatorForegroundColor(ToQColor(element->Font.Color), indicator);
        // the text colour must win over the token colours below it
        editor.SendScintilla(QsciScintilla::SCI_INDICSETUNDER, indicator, false);
    }
}

void LineStyles::SetLineStyle(QsciScintilla& editor, int line, LineStyle style) {
    if (line < 0 || line >= editor.lines())
        return;
    long start = editor.SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE, line);
    long length = editor.SendScintilla(QsciScintilla::SCI_GETLINEENDPOSITION, line) - start;
    auto fill = [&](LineStyle which, bool on) {
        editor.SendScintilla(QsciScintilla::SCI_SETINDICATORCURRENT, kFirstIndicator + SlotOf(which));
        editor.SendScintilla(
            on ? QsciScintilla::SCI_INDICATORFILLRANGE : QsciScintilla::SCI_INDICATORCLEARRANGE, start,
            length);
    };
    for (LineStyle other : kStyles) {
        editor.markerDelete(line, kFirstMarker + SlotOf(other));
        fill(other, false);
    }
    if (style == LineStyle::None)
        return;
    editor.markerAdd(line, kFirstMarker + SlotOf(style));
    fill(style, true);
}

LineStyle LineStyles::GetLineStyle(QsciScintilla& editor, int line) {
    if (line < 0 || line >= editor.lines())
        return LineStyle::None;
    unsigned mask = editor.markersAtLine(line);
    for (LineStyle style : kStyles)
        if (mask & (1u << (kFirstMarker + SlotOf(style))))
            return style;
    return LineStyle::None;
}
