// The MPASM Options dialog: the open project's assembler options.
#include "assembler/DlgMPASM.h"

#include <QGuiApplication>
#include <QScreen>

TMPASMDlg::TMPASMDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("MPASMDlg");
    setWindowTitle("MPASM Options");
    setFixedSize(592, 243);
    move(QGuiApplication::primaryScreen()->geometry().center() - rect().center());
}
