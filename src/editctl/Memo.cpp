// SPDX-License-Identifier: GPL-3.0-or-later
// The editor control: options, scheme colours, line-style drawing and the state-change notices.
#include "editctl/Memo.h"

#include "editctl/Document.h"
#include "editctl/LineStyles.h"
#include "editctl/MemoOptions.h"
#include "editctl/PicLexer.h"
#include "platform/Colors.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>
#include <Qsci/qscilexer.h>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

int FirstTabStop(const std::string& tabStops) {
    int width = std::atoi(tabStops.c_str());
    return width > 0 && width <= 64 ? width : 8;
}

// The outline of each gutter mark's symbol inside a square: a disc for a breakpoint, a diamond for one with
// a condition, a ring for one switched off, so the three tell apart at a glance.
struct GutterSymbol {
    TDocument::GutterMark mark;
    QPainterPath (*outline)(const QRectF& box);
};
constexpr GutterSymbol kGutterSymbols[] = {
    {TDocument::GutterMark::Breakpoint,
     [](const QRectF& box) {
         QPainterPath path;
         path.addEllipse(box);
         return path;
     }},
    {TDocument::GutterMark::Conditional,
     [](const QRectF& box) {
         QPainterPath path;
         QPointF centre = box.center();
         path.addPolygon(QPolygonF{{centre.x(), box.top()},
                                   {box.right(), centre.y()},
                                   {centre.x(), box.bottom()},
                                   {box.left(), centre.y()}});
         path.closeSubpath();
         return path;
     }},
    {TDocument::GutterMark::Disabled,
     [](const QRectF& box) {
         QPainterPath path;  // filled odd-even: the inner circle stays hollow
         qreal band = box.width() * 0.28;
         path.addEllipse(box);
         path.addEllipse(box.adjusted(band, band, -band, -band));
         return path;
     }},
};
static_assert(std::size(kGutterSymbols) == kGutterMarkCount);

// A symbol as big as a line is high, in the breakpoint colour with a darker edge so it shows on any gutter.
QImage GutterSymbolImage(const GutterSymbol& symbol, int size, const QColor& colour) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    qreal edge = std::max(1.0, size / 12.0);
    QRectF box = QRectF(0, 0, size, size).adjusted(edge + 1, edge + 1, -edge - 1, -edge - 1);
    painter.setPen(QPen(colour.darker(170), edge));
    painter.setBrush(colour);
    painter.drawPath(symbol.outline(box));
    return image;
}

}  // namespace

TMemo::TMemo(QWidget* parent) : QsciScintilla(parent) {
    setObjectName("Memo");
    setUtf8(true);
    QuietTextChangeNotices(*this);
    // Ctrl+Del is the menu's Edit > Delete (the selection), not the control's delete-word-right
    if (QsciCommand* deleteWord = standardCommands()->boundTo(int(Qt::Key_Delete) | int(Qt::CTRL)))
        deleteWord->setKey(0);
    setMarginLineNumbers(0, false);
    setMarginWidth(0, 0);
    setMarginWidth(1, 0);
    setMarginWidth(2, 0);
    installGutterMarks();
    connect(this, &QsciScintilla::cursorPositionChanged, this,
            [this] { emit stateChanged(PositionChanged); });
    connect(this, &QsciScintilla::modificationChanged, this, [this] { emit stateChanged(ModifiedChanged); });
}

void TMemo::showDocument(TDocument* document) {
    if (document_ == document)
        return;
    if (document_)
        document_->viewPosition = {SendScintilla(SCI_GETCURRENTPOS), SendScintilla(SCI_GETANCHOR),
                                   SendScintilla(SCI_GETFIRSTVISIBLELINE)};
    if (document_) {
        disconnect(document_, &TDocument::fileNameChanged, this, nullptr);
        disconnect(document_, &TDocument::modifiedChanged, this, nullptr);
    }
    document_ = document;
    if (!document) {
        setDocument(QsciDocument());
        setReadOnly(true);
        return;
    }
    // the lexer goes in while the control holds no text: setting it restyles the whole text held, while a
    // document shown afterwards is styled as it comes into view
    bool wantLexer = wantsColouring();
    if (wantLexer != (lexer() != nullptr)) {
        setDocument(QsciDocument());
        applyColouring();
    }
    setDocument(document->buffer()->document());
    document->setView(this);
    setReadOnly(document->isReadOnly());
    // a document saved under another name takes the colouring of its new name and the new file's
    // writability
    connect(document, &TDocument::fileNameChanged, this, [this] {
        if (!document_)
            return;
        setReadOnly(document_->isReadOnly());
        applyColouring();
        emit stateChanged(ModifiedChanged);
    });
    connect(document, &TDocument::modifiedChanged, this, [this] { emit stateChanged(ModifiedChanged); });
    setUtf8(document->encoding() == TextEncoding::Utf8);
    static const EolMode modes[] = {EolWindows, EolUnix, EolMac};
    setEolMode(modes[int(document->lineEnd())]);
    applyColouring();
    // the document continues where its last view left it
    const TDocument::ViewPosition& at = document->viewPosition;
    SendScintilla(SCI_SETSEL, at.anchor, at.caret);
    SendScintilla(SCI_SETFIRSTVISIBLELINE, at.firstLine);
    emit stateChanged(PositionChanged | ModifiedChanged | TypingModeChanged);
}

void TMemo::applyOptions(const TMemoSourceOptions& source, const TMemoEnvOptions& env) {
    env_ = &env;
    setTabWidth(FirstTabStop(source.TabStops));
    setIndentationsUseTabs(true);
    setAutoIndent(source.Has(soAutoIndent));
    setBackspaceUnindents(source.Has(soBackUnindents));
    setTabIndents(source.Has(soSmartTab));

    QFont font(EditorFontFamily(QString::fromStdString(env.Font.Name)));
    if (env.Font.Size > 0)
        font.setPointSize(int(env.Font.Size));
    font.setStyleHint(QFont::TypeWriter);
    setFont(font);
    setMarginsFont(font);
    setColor(ToQColor(env.Font.Color));

    bool lineNumbers = env.Has(moLineNumbers);
    setMarginLineNumbers(0, lineNumbers);
    setMarginWidth(0, lineNumbers ? QString("00000") : QString());
    setMarginWidth(1, env.Has(moDrawGutter) ? int(env.GutterWidth) : 0);
    setMarginsBackgroundColor(ToQColor(env.GutterBrush.Color));
    setEdgeMode(env.Has(moDrawMargin) ? EdgeLine : EdgeNone);
    setEdgeColumn(int(env.MarginPos));
    setEdgeColor(ToQColor(env.MarginPen.Color));
    // a block caret shows overwrite mode when the user asks for it
    SendScintilla(SCI_SETCARETSTYLE,
                  env.Has(moOverwriteCaret) && isOverwrite() ? CARETSTYLE_BLOCK : CARETSTYLE_LINE);
    SendScintilla(SCI_SETENDATLASTLINE, source.Has(soBeyondFileEnd) ? 0L : 1L);
    SendScintilla(SCI_SETMOUSEDOWNCAPTURES, 1L);
    if (const TTextStyle* marked = env.TextStyles.Find("Marked Block")) {
        setSelectionBackgroundColor(ToQColor(marked->Color));
        setSelectionForegroundColor(ToQColor(marked->Font.Color));
    }
    applyColouring();
    LineStyles::Install(*this, env.TextStyles);
    installGutterMarks();
}

bool TMemo::wantsColouring() const {
    // asm and inc documents are coloured as PIC assembler when syntax colouring is on; others are plain
    return document_ && document_->isPicSource() && env_ && env_->Has(moColorSyntax);
}

void TMemo::applyColouring() {
    if (!wantsColouring()) {
        setLexer(nullptr);
        return;
    }
    if (!lexer_)
        lexer_ = new PicLexer(this);
    if (lexer() != lexer_)
        setLexer(lexer_);
    lexer_->setColorElements(env_->TextStyles, env_->Font);
    if (scheme_)
        applySchemeColours(scheme_->background, scheme_->text, scheme_->lineNumbers);
    LineStyles::Install(*this, env_->TextStyles);
    installGutterMarks();
}

void TMemo::installGutterMarks() {
    const TTextStyle* element = env_ ? env_->TextStyles.Find("BreakPoint") : nullptr;
    QColor colour = element ? ToQColor(element->Color) : QColor(Qt::red);
    int size = std::max(8, int(SendScintilla(SCI_TEXTHEIGHT, 0L)));
    for (const GutterSymbol& symbol : kGutterSymbols) {
        int marker = TDocument::MarkerOf(symbol.mark);
        markerDefine(GutterSymbolImage(symbol, size, colour), marker);
        // with no margin showing it, Scintilla would paint a marker as the line's background: keep that
        // clear, the line styles colour the lines
        SendScintilla(SCI_MARKERSETALPHA, marker, 0L);
    }
    // the gutter shows only the marks (the line styles are backgrounds, never symbols); with the gutter
    // hidden they are drawn over the line numbers
    bool gutterShown = marginWidth(1) > 0;
    setMarginMarkerMask(1, kGutterMarkMask);
    setMarginMarkerMask(0, gutterShown ? 0 : kGutterMarkMask);
}

void TMemo::applySchemeColours(uint32_t background, uint32_t text, uint32_t lineNumbers) {
    scheme_ = SchemeColours{background, text, lineNumbers};
    if (lexer()) {
        lexer()->setDefaultPaper(ToQColor(background));
        lexer()->setDefaultColor(ToQColor(text));
    }
    setPaper(ToQColor(background));
    setColor(ToQColor(text));
    // with a lexer QScintilla leaves the default style alone: the area past the text shows it
    SendScintilla(SCI_STYLESETBACK, STYLE_DEFAULT, ToQColor(background));
    SendScintilla(SCI_STYLESETFORE, STYLE_DEFAULT, ToQColor(text));
    setMarginsForegroundColor(ToQColor(lineNumbers));
    // line numbers stay readable: a gutter too close to their colour gives way to the scheme's background
    QColor gutter = env_ ? ToQColor(env_->GutterBrush.Color) : QColor(Qt::lightGray);
    setMarginsBackgroundColor(ContrastRatio(gutter, ToQColor(lineNumbers)) >= 3.0 ? gutter
                                                                                  : ToQColor(background));
}

int TMemo::caretLine() const {
    int line = 0, index = 0;
    getCursorPosition(&line, &index);
    return line;
}

int TMemo::caretColumn() const {
    long position = SendScintilla(SCI_GETCURRENTPOS);
    return int(SendScintilla(SCI_GETCOLUMN, position));
}

bool TMemo::isOverwrite() const {
    return SendScintilla(SCI_GETOVERTYPE) != 0;
}

int TMemo::styleAt(long position) const {
    return int(SendScintilla(SCI_GETSTYLEAT, position));
}

QColor TMemo::foregroundOfStyle(int style) const {
    return ToQColor(uint32_t(SendScintilla(SCI_STYLEGETFORE, style)));
}

QColor TMemo::backgroundOfStyle(int style) const {
    return ToQColor(uint32_t(SendScintilla(SCI_STYLEGETBACK, style)));
}

QColor TMemo::lineStyleBackground(int element) const {
    if (!env_ || element < 0 || element >= int(env_->TextStyles.size()))
        return {};
    return ToQColor(env_->TextStyles[size_t(element)].Color);
}

QColor TMemo::lineStyleForeground(int element) const {
    for (int i = 0; i < kLineStyleCount; ++i)
        if (kLineStyleElements[i] == element)
            return ToQColor(uint32_t(SendScintilla(SCI_INDICGETFORE, kLineStyleIndicatorBase + i)));
    return {};
}

void TMemo::keyPressEvent(QKeyEvent* event) {
    // Alt and a letter belongs to the menus, never to the text (the component would type the letter)
    Qt::KeyboardModifiers modifiers = event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if (modifiers == Qt::AltModifier && !event->text().isEmpty() && event->text().front().isPrint()) {
        event->ignore();
        return;
    }
    emit userInteraction();
    bool wasOverwrite = isOverwrite();
    QsciScintilla::keyPressEvent(event);
    if (isOverwrite() != wasOverwrite) {
        if (env_ && env_->Has(moOverwriteCaret))
            SendScintilla(SCI_SETCARETSTYLE, isOverwrite() ? CARETSTYLE_BLOCK : CARETSTYLE_LINE);
        emit stateChanged(TypingModeChanged);
    }
}

void TMemo::mouseDoubleClickEvent(QMouseEvent* event) {
    QsciScintilla::mouseDoubleClickEvent(event);
    if (env_ && env_->Has(moDblClickLine)) {
        int line = caretLine();
        setSelection(line, 0, line, lineLength(line));
    }
}

void TMemo::focusInEvent(QFocusEvent* event) {
    if (document_)
        document_->setView(this);
    QsciScintilla::focusInEvent(event);
}

void TMemo::mousePressEvent(QMouseEvent* event) {
    emit userInteraction();
    QsciScintilla::mousePressEvent(event);
}
