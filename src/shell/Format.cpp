// SPDX-License-Identifier: GPL-3.0-or-later
// The Project Format dialog: one radio group of formats, OK and Cancel.
#include "shell/Format.h"

#include "assembler/DlgMPASM.h"
#include "platform/WindowStacking.h"
#include "shell/Project.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

TFormatDlg::TFormatDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("FormatDlg");
    setWindowTitle("Project Format");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(192, 123);
    setFont(DialogFont());
    RGFormat = new TRadioGroup("Format", {"MPASM"}, this);
    RGFormat->setObjectName("RGFormat");
    RGFormat->setGeometry(8, 8, 176, 73);
    OKBtn = new QPushButton("OK", this);
    OKBtn->setObjectName("OKBtn");
    OKBtn->setGeometry(14, 90, 75, 25);
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton("Cancel", this);
    CancelBtn->setObjectName("CancelBtn");
    CancelBtn->setGeometry(103, 90, 75, 25);
    connect(OKBtn, &QPushButton::clicked, this, &TFormatDlg::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    ProjectFormat = 0;
    WidenForCaption(*this);
    move(QGuiApplication::primaryScreen()->geometry().center() - rect().center());
}

void TFormatDlg::FormShow() {
    RGFormat->setItemIndex(0);
}

void TFormatDlg::OKBtnClick() {
    ProjectFormat = RGFormat->itemIndex();
    accept();
}

void TFormatDlg::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}
