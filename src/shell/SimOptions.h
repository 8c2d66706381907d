// SPDX-License-Identifier: GPL-3.0-or-later
// Simulate > Options: the processor's clock and, for a part gpsim lacks, the gpsim part that stands in.
#pragma once

#include "shell/Project.h"

#include <QDialog>

class QDoubleSpinBox;
class QLineEdit;

class TSimOptionsDlg : public QDialog {
    Q_OBJECT
  public:
    explicit TSimOptionsDlg(QWidget* parent = nullptr);

    void Show(const TSimulateOptions& options);
    // What the dialog holds; a stand-in that is no gpsim part name (letters and digits) is left out.
    TSimulateOptions Options() const;

    QDoubleSpinBox* ClockMHz;
    QLineEdit* StandIn;
};
