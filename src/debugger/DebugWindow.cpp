// SPDX-License-Identifier: GPL-3.0-or-later
// The debugging windows' common frame.
#include "debugger/DebugWindow.h"

#include "debugger/KeptPlacement.h"
#include "debugger/SfrWindow.h"
#include "platform/Prompter.h"
#include "platform/WindowStacking.h"

#include <QInputDialog>

TDebugWindow::TDebugWindow(Prompter& prompter, Registry& registry, const QString& name, const QString& title,
                           const std::string& key, QSize size, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      prompter_(prompter) {
    setObjectName(name);
    setWindowTitle(title);
    resize(size);
    KeepAboveProgramWindows(*this);
    placement_ = new TKeptPlacement(*this, registry, key);
}

TDebugWindow::~TDebugWindow() {
    placement_->saveIfShown();
}

bool TDebugWindow::placed() const {
    return placement_->placed();
}

int TDebugWindow::askByte(const QString& what, const QString& now) {
    QInputDialog dialog(this);
    dialog.setObjectName("WriteRegisterDlg");
    dialog.setWindowTitle("Write " + what);
    dialog.setLabelText(QString("New value of %1 (hex 0x.., binary 0b.., or decimal):").arg(what));
    dialog.setTextValue(now);
    if (prompter_.showModal(dialog) != QDialog::Accepted)
        return -1;
    int value = ParseByte(dialog.textValue());
    if (value < 0)
        prompter_.error(QString("%1 is not a byte: give 0 to 255, 0x00 to 0xFF or 0b00000000 to 0b11111111.")
                            .arg(dialog.textValue()));
    return value;
}
