// The MPASM Options dialog: the open project's assembler options.
#pragma once

#include <QDialog>

class TMPASMDlg : public QDialog {
    Q_OBJECT
public:
    explicit TMPASMDlg(QWidget* parent = nullptr);
};
