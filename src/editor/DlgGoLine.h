// The Go To Line Number dialog.
#pragma once

#include <QDialog>

class TGoToLineDlg : public QDialog {
    Q_OBJECT
public:
    explicit TGoToLineDlg(QWidget* parent = nullptr);
};
