// The External EXE dialog: where the assembler program lies.
#include "assembler/DlgEXE.h"

#include <QGuiApplication>
#include <QScreen>

TEXEDlg::TEXEDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("EXEDlg");
    setWindowTitle("External EXE");
    setFixedSize(392, 193);
    move(QGuiApplication::primaryScreen()->geometry().center() - rect().center());
}
