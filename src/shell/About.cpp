// SPDX-License-Identifier: GPL-3.0-or-later
// The About box: product name, version and three lines about the program, and OK.
#include "shell/About.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName("AboutBox");
    setWindowTitle("About");
    setFixedSize(300, 183);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    auto* panel = new QFrame(this);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setGeometry(8, 8, 284, 132);
    auto* lines = new QVBoxLayout(panel);
    lines->setSpacing(0);

    ProductName = new QLabel("Korvex", panel);
    ProductName->setObjectName("ProductName");
    QFont comic("Comic Sans MS");
    comic.setPixelSize(48);
    comic.setBold(true);
    ProductName->setFont(comic);
    ProductName->setStyleSheet("color: red");
    ProductName->setAlignment(Qt::AlignCenter);
    lines->addWidget(ProductName);

    Version = new QLabel("Version 0.30", panel);
    Version->setObjectName("Version");
    Version->setAlignment(Qt::AlignCenter);
    lines->addWidget(Version);
    for (const char* text : {"An IDE for PIC16 (14-bit core) assembler", "Edit, assemble, read the messages",
                             "and step through the code"}) {
        auto* line = new QLabel(text, panel);
        line->setAlignment(Qt::AlignCenter);
        lines->addWidget(line);
    }

    OKButton = new QPushButton("OK", this);
    OKButton->setObjectName("OKButton");
    OKButton->setDefault(true);
    OKButton->setGeometry(112, 148, 75, 25);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    move(QGuiApplication::primaryScreen()->geometry().center() - rect().center());
}
