// SPDX-License-Identifier: GPL-3.0-or-later
// The Go To Line Number dialog.
#pragma once

#include <QDialog>

class QLineEdit;

class TGoToLineDlg : public QDialog {
    Q_OBJECT
  public:
    explicit TGoToLineDlg(QWidget* parent = nullptr);

    // The entry field: at most 5 characters, digits only.
    QLineEdit* ELine;
    // Fills the entry with a line number (counted from 1) and gives it the focus.
    void prepare(int lineNumber);
};
