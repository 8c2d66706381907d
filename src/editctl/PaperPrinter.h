// SPDX-License-Identifier: GPL-3.0-or-later
// Printing a document on paper: in the Default scheme's colours, black on white, whatever the screen shows,
// with the file name and "Page N of M" at the head of each page and the date at its foot.
#pragma once

#include <Qsci/qsciprinter.h>
#include <QDateTime>
#include <QString>

class TDocument;
struct TMemoSourceOptions;
struct TMemoEnvOptions;

class TPaperPrinter : public QsciPrinter {
  public:
    TPaperPrinter();

    // Prints the whole document; the number of pages printed, or 0 when nothing was.
    int PrintDocument(TDocument& document, const TMemoSourceOptions& source, const TMemoEnvOptions& screen);

    // The head and foot of a page: the file name, "Page N of M", the date and time the printing began.
    void formatPage(QPainter& painter, bool drawing, QRect& area, int pageNumber) override;

  private:
    int pass(TDocument& document, const TMemoSourceOptions& source, const TMemoEnvOptions& screen);

    QString title_;
    QDateTime printed_;
    int pages_ = 0;   // counted by the first pass, for "of M"
    int counted_ = 0;
};
