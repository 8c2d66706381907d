// SPDX-License-Identifier: GPL-3.0-or-later
// The Go To Line Number dialog: a five-digit entry, OK and Cancel.
#include "editor/DlgGoLine.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QVBoxLayout>

TGoToLineDlg::TGoToLineDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("GoToLineDlg");
    setWindowTitle("Go To Line Number");
    setFixedSize(260, 110);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Enter Line Number:", this));
    ELine = new QLineEdit(this);
    ELine->setObjectName("ELine");
    ELine->setMaxLength(5);
    ELine->setFont(QFont("Courier New"));
    // digits only: every other key is dropped
    ELine->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,5}"), ELine));
    layout->addWidget(ELine);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    move(QGuiApplication::primaryScreen()->geometry().center() - rect().center());
}

void TGoToLineDlg::prepare(int lineNumber) {
    ELine->setText(QString::number(lineNumber));
    ELine->selectAll();
    ELine->setFocus();
}
