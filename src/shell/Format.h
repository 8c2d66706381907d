// The Project Format dialog: the kind of project being made.
#pragma once

#include <QDialog>

class TFormatDlg : public QDialog {
    Q_OBJECT
public:
    explicit TFormatDlg(QWidget* parent = nullptr);
};
