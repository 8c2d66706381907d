// SPDX-License-Identifier: GPL-3.0-or-later
// The syntax-colouring adapter: TPICParser per line, class n drawn with QScintilla style n.
#include "editctl/PicLexer.h"

#include "platform/Colors.h"

#include <Qsci/qsciscintilla.h>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>

#include <algorithm>
#include <vector>

PicLexer::PicLexer(QObject* parent) : QsciLexerCustom(parent) {}

QString PicLexer::description(int style) const {
    if (style < 0 || style >= kColorElementCount)
        return {};
    return QString::fromLatin1(kColorElementNames[size_t(style)].data(),
                               int(kColorElementNames[size_t(style)].size()));
}

QColor PicLexer::defaultColor(int) const {
    return Qt::black;
}
QColor PicLexer::defaultPaper(int) const {
    return Qt::white;
}
QFont PicLexer::defaultFont(int) const {
    return ToQFont(font_, 0);
}

namespace {

// Measured, not asked: fontconfig leaves the pitch of some fixed fonts unsaid. Columns line up when a
// narrow letter takes as much room as a wide one.
bool DrawsFixedPitch(const QFont& font) {
    QFontMetricsF metrics(font);
    return metrics.horizontalAdvance("iiii") == metrics.horizontalAdvance("MMMM") &&
           metrics.horizontalAdvance("....") == metrics.horizontalAdvance("WWWW");
}

}  // namespace

QString EditorFontFamily(const QString& name) {
    // tried as the editor component uses it, by its name alone: a style hint would not reach the component
    if (!name.isEmpty() && DrawsFixedPitch(QFont(name)))
        return name;
    // the family the system's fixed font really is, by a name that needs no hint either
    QString fixed = QFontInfo(QFontDatabase::systemFont(QFontDatabase::FixedFont)).family();
    if (DrawsFixedPitch(QFont(fixed)))
        return fixed;
    for (const char* family : {"Liberation Mono", "DejaVu Sans Mono", "Noto Sans Mono", "Monospace"})
        if (DrawsFixedPitch(QFont(family)))
            return family;
    return fixed;
}

bool FontInstalled(const QString& name) {
    return QFontDatabase::families().contains(name, Qt::CaseInsensitive);
}

QFont PicLexer::ToQFont(const TFont& font, uint32_t style) {
    QFont result(EditorFontFamily(QString::fromStdString(font.Name)));
    if (font.Size > 0)
        result.setPointSize(int(font.Size));
    result.setBold(style & Bit(fsBold));
    result.setItalic(style & Bit(fsItalic));
    result.setUnderline(style & Bit(fsUnderline));
    result.setStrikeOut(style & Bit(fsStrikeOut));
    return result;
}

void PicLexer::setColorElements(const TTextStyles& elements, const TFont& font) {
    font_ = font;
    for (int style = 0; style < kColorElementCount; ++style) {
        bool known = size_t(style) < elements.size();
        const TTextStyle* element = known ? &elements[size_t(style)] : nullptr;
        setColor(element ? ToQColor(element->Font.Color) : defaultColor(style), style);
        setPaper(element ? ToQColor(element->Color) : defaultPaper(style), style);
        setFont(ToQFont(font, element ? element->Font.Style : 0), style);
        // past the line end the editor background shows, not the colour of the last token
        setEolFill(false, style);
    }
}

void PicLexer::styleText(int start, int end) {
    QsciScintilla* scintilla = editor();
    if (!scintilla || end <= start)
        return;
    int firstLine = int(scintilla->SendScintilla(QsciScintilla::SCI_LINEFROMPOSITION, start));
    int lastLine = int(scintilla->SendScintilla(QsciScintilla::SCI_LINEFROMPOSITION, end - 1));
    int state =
        firstLine > 0 ? int(scintilla->SendScintilla(QsciScintilla::SCI_GETLINESTATE, firstLine - 1)) : 0;
    int lineCount = int(scintilla->SendScintilla(QsciScintilla::SCI_GETLINECOUNT));
    int length = int(scintilla->SendScintilla(QsciScintilla::SCI_GETLENGTH));
    // a line's bytes run to the start of the next line: its line end is parsed with it
    auto lineStart = [&](int line) {
        return line < lineCount ? int(scintilla->SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE, line))
                                : length;
    };
    int from = lineStart(firstLine);
    int to = lineStart(lastLine + 1);
    const char* text = reinterpret_cast<const char*>(
        scintilla->SendScintilla(QsciScintilla::SCI_GETRANGEPOINTER, from, long(to - from)));
    if (!text)
        return;

    // every line's classes straight into one buffer, handed over in one call
    styles_.resize(size_t(to - from));
    for (int line = firstLine; line <= lastLine; ++line) {
        int at = lineStart(line) - from;
        size_t bytes = size_t(lineStart(line + 1) - lineStart(line));
        state = parser_.ParseLine(text + at, bytes, styles_.data() + at, state);
        scintilla->SendScintilla(QsciScintilla::SCI_SETLINESTATE, line, long(state));
    }
    startStyling(from);
    scintilla->SendScintilla(QsciScintilla::SCI_SETSTYLINGEX, long(styles_.size()),
                             reinterpret_cast<const char*>(styles_.data()));
}
