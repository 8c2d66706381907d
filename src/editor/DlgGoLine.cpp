// The Go To Line Number dialog.
#include "editor/DlgGoLine.h"

#include <QGuiApplication>
#include <QScreen>

TGoToLineDlg::TGoToLineDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("GoToLineDlg");
    setWindowTitle("Go To Line Number");
    setFixedSize(260, 110);
    move(QGuiApplication::primaryScreen()->geometry().center() - rect().center());
}
