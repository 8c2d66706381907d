// SPDX-License-Identifier: GPL-3.0-or-later
// The simulation options dialog.
#include "shell/SimOptions.h"

#include "platform/WindowStacking.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QRegularExpressionValidator>

TSimOptionsDlg::TSimOptionsDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("SimOptionsDlg");
    setWindowTitle("Simulation Options");
    auto* form = new QFormLayout(this);
    ClockMHz = new QDoubleSpinBox(this);
    ClockMHz->setObjectName("ClockMHz");
    ClockMHz->setDecimals(6);
    ClockMHz->setRange(TSimulateOptions::kMinClockHz / 1e6, TSimulateOptions::kMaxClockHz / 1e6);
    ClockMHz->setSuffix(" MHz");
    form->addRow("Processor &clock:", ClockMHz);
    StandIn = new QLineEdit(this);
    StandIn->setObjectName("StandIn");
    StandIn->setPlaceholderText("the compatible part gpsim has");
    StandIn->setValidator(new QRegularExpressionValidator(QRegularExpression("[A-Za-z0-9]*"), StandIn));
    form->addRow("gpsim part for a processor it &lacks:", StandIn);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
    setFixedSize(sizeHint());
    WidenForCaption(*this);
}

void TSimOptionsDlg::Show(const TSimulateOptions& options) {
    ClockMHz->setValue(options.clockHz / 1e6);
    StandIn->setText(QString::fromStdString(options.standIn));
}

TSimulateOptions TSimOptionsDlg::Options() const {
    TSimulateOptions options;
    options.clockHz = ClockMHz->value() * 1e6;
    QString part = StandIn->text().trimmed().toLower();
    if (QRegularExpression("^[a-z0-9]+$").match(part).hasMatch())
        options.standIn = part.toStdString();
    return options;
}
