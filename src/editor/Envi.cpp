// The Environment Options dialog: editor options, display and colour schemes.
#include "editor/Envi.h"

#include <QGuiApplication>
#include <QScreen>

TEnviDlg::TEnviDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("EnviDlg");
    setWindowTitle("Environment Options");
    setFixedSize(470, 420);
    move(QGuiApplication::primaryScreen()->geometry().center() - rect().center());
}
