// The Project Format dialog: the kind of project being made.
#include "shell/Format.h"

#include <QGuiApplication>
#include <QScreen>

TFormatDlg::TFormatDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("FormatDlg");
    setWindowTitle("Project Format");
    setFixedSize(192, 123);
    move(QGuiApplication::primaryScreen()->geometry().center() - rect().center());
}
