// SPDX-License-Identifier: GPL-3.0-or-later
// The paper printer: a view of the document in the Default scheme's colours, printed twice over (the first
// pass counts the pages for "Page N of M").
#include "editctl/PaperPrinter.h"

#include "editctl/Document.h"
#include "editctl/Memo.h"
#include "editctl/MemoOptions.h"

#include <QLocale>
#include <QPainter>
#include <QTemporaryDir>

#include <algorithm>

namespace {

constexpr uint32_t kWhite = 0xFFFFFF, kBlack = 0x000000;

}  // namespace

TPaperPrinter::TPaperPrinter() {
    setWrapMode(QsciScintilla::WrapWord);
}

int TPaperPrinter::pass(TDocument& document, const TMemoSourceOptions& source, const TMemoEnvOptions& screen) {
    // the paper's colours are the Default scheme's, whichever scheme the screen has
    TMemoEnvOptions paper = screen;
    paper.TextStyles = DefaultTextStyles();
    paper.Font.Color = kBlack;
    TMemo view;
    view.showDocument(&document);
    view.applyOptions(source, paper);
    view.applySchemeColours(kWhite, kBlack, kBlack);
    view.setEdgeMode(QsciScintilla::EdgeNone);  // the right margin's line is a guide on screen only
    // whatever background a colour element has, the paper stays white
    view.SendScintilla(QsciScintillaBase::SCI_SETPRINTCOLOURMODE, QsciScintillaBase::SC_PRINT_COLOURONWHITEDEFAULTBG);
    counted_ = 0;
    return printRange(&view) ? counted_ : 0;
}

int TPaperPrinter::PrintDocument(TDocument& document, const TMemoSourceOptions& source,
                                 const TMemoEnvOptions& screen) {
    title_ = document.displayName();
    printed_ = QDateTime::currentDateTime();
    // the count: the same pages laid out on a throwaway PDF of this printer's page size
    QTemporaryDir scratch;
    TPaperPrinter counter;
    counter.setPageLayout(pageLayout());
    counter.setOutputFormat(QPrinter::PdfFormat);
    counter.setOutputFileName(scratch.filePath("count.pdf"));
    counter.title_ = title_;
    counter.printed_ = printed_;
    pages_ = scratch.isValid() ? counter.pass(document, source, screen) : 0;
    int printed = pass(document, source, screen);
    return printed;
}

void TPaperPrinter::formatPage(QPainter& painter, bool drawing, QRect& area, int pageNumber) {
    QFont font("Liberation Sans");
    font.setPointSize(9);
    QFontMetrics metrics(font, painter.device());
    int line = metrics.height();
    QRect head(area.left(), area.top(), area.width(), line);
    QRect foot(area.left(), area.bottom() - line + 1, area.width(), line);
    if (drawing) {
        ++counted_;
        painter.save();
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(head, Qt::AlignLeft | Qt::AlignVCenter, title_);
        painter.drawText(head, Qt::AlignRight | Qt::AlignVCenter,
                         QString("Page %1 of %2").arg(pageNumber).arg(std::max(pages_, pageNumber)));
        painter.drawLine(head.bottomLeft() + QPoint(0, line / 4), head.bottomRight() + QPoint(0, line / 4));
        painter.drawText(foot, Qt::AlignHCenter | Qt::AlignVCenter,
                         QLocale().toString(printed_, QLocale::ShortFormat));
        painter.restore();
    }
    area.setTop(head.bottom() + line);
    area.setBottom(foot.top() - line);
}
