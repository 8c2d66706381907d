// SPDX-License-Identifier: GPL-3.0-or-later
// The Project Format dialog: the kind of project being made.
#pragma once

#include <QDialog>

class QPushButton;
class TRadioGroup;

class TFormatDlg : public QDialog {
    Q_OBJECT
  public:
    explicit TFormatDlg(QWidget* parent = nullptr);

    // Chooses "MPASM" again; runs each time the dialog is shown.
    void FormShow();
    // Sets ProjectFormat to the chosen item's index and closes the dialog with OK.
    void OKBtnClick();

    TRadioGroup* RGFormat;
    QPushButton *OKBtn, *CancelBtn;

  protected:
    void showEvent(QShowEvent* event) override;
};
