// The Environment Options dialog: editor options, display and colour schemes.
#pragma once

#include <QDialog>

class TEnviDlg : public QDialog {
    Q_OBJECT
public:
    explicit TEnviDlg(QWidget* parent = nullptr);
};
