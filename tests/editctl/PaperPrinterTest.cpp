// SPDX-License-Identifier: GPL-3.0-or-later
// Printing on paper, read back from the PDF it makes: the screen's dark scheme never reaches the paper, and
// each page says which file it is, which page of how many, and when it was printed.
#include "editctl/PaperPrinter.h"

#include "TempDir.h"
#include "editctl/DocumentManager.h"
#include "editctl/MemoOptions.h"

#include "ScriptedPrompter.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>

namespace {

bool HavePoppler() {
    return !QStandardPaths::findExecutable("pdftoppm").isEmpty() &&
           !QStandardPaths::findExecutable("pdftotext").isEmpty();
}

QString Output(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The share of a band of the page that is dark ink.
double Ink(const QImage& page, int top, int bottom) {
    int dark = 0, all = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < page.width(); x += 2, ++all)
            dark += qGray(page.pixel(x, y)) < 128;
    return all ? double(dark) / all : 0;
}

TEST(PaperPrinter, TwilightOnScreenPrintsBlackOnWhiteWithItsNameAndPagesOnEachPage) {
    if (!HavePoppler())
        GTEST_SKIP() << "pdftoppm and pdftotext are not installed (poppler-utils)";
    TempDir dir;
    std::string text;
    for (int i = 0; i < 120; ++i)
        text += "loop" + std::to_string(i) + "\tmovlw\t0x" + std::to_string(i % 10) + "\t; count it\n";
    WriteAll(dir / "blink.asm", text);
    ScriptedPrompter prompter;
    DocumentManager documents(prompter, nullptr);
    TDocument* document = documents.open(QString::fromStdString((dir / "blink.asm").string()));
    ASSERT_TRUE(document);
    // the screen's scheme: white text on black
    TMemoSourceOptions source;
    TMemoEnvOptions screen;
    screen.Font.Color = 0xFFFFFF;
    for (size_t i = 0; i < screen.TextStyles.size(); ++i) {
        screen.TextStyles[i].Color = 0x000000;
        screen.TextStyles[i].Font.Color = 0xFFFFFF;
    }
    TPaperPrinter printer;
    QString pdf = QString::fromStdString((dir / "out.pdf").string());
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    int pages = printer.PrintDocument(*document, source, screen);
    ASSERT_GE(pages, 2);
    if (const char* keep = std::getenv("KORVEX_KEEP_PDF"))
        QFile::copy(pdf, keep);

    QString first = Output("pdftotext", {"-f", "1", "-l", "1", "-layout", pdf, "-"});
    EXPECT_TRUE(first.contains("blink.asm")) << first.left(400).toStdString();
    EXPECT_TRUE(first.contains(QString("Page 1 of %1").arg(pages))) << first.left(400).toStdString();
    EXPECT_TRUE(first.contains(QString::number(QDate::currentDate().year() % 100)));  // the date at the foot
    QString last = Output("pdftotext", {"-f", QString::number(pages), "-l", QString::number(pages), pdf, "-"});
    EXPECT_TRUE(last.contains(QString("Page %1 of %1").arg(pages)));

    // the first page as a picture: a white page with dark text, heading and foot included
    Output("pdftoppm", {"-f", "1", "-l", "1", "-r", "40", "-png", pdf, QString::fromStdString((dir / "page").string())});
    QImage page(QString::fromStdString((dir / "page-1.png").string()));
    if (page.isNull())
        page.load(QString::fromStdString((dir / "page-01.png").string()));
    ASSERT_FALSE(page.isNull());
    double whole = Ink(page, 0, page.height());
    EXPECT_LT(whole, 0.2) << "the page is dark: the screen's scheme was printed";
    EXPECT_GT(whole, 0.002) << "no text on the page";
    EXPECT_GT(Ink(page, 0, page.height() / 8), 0.0005);                     // the head
    EXPECT_GT(Ink(page, page.height() * 7 / 8, page.height()), 0.0001);  // the foot
}

}  // namespace
