// The External EXE dialog: where the assembler program lies.
#pragma once

#include <QDialog>

class TEXEDlg : public QDialog {
    Q_OBJECT
public:
    explicit TEXEDlg(QWidget* parent = nullptr);
};
