// SPDX-License-Identifier: GPL-3.0-or-later
// The debugging windows' common frame.
#include "debugger/DebugWindow.h"

#include "debugger/KeptPlacement.h"
#include "debugger/SfrWindow.h"
#include "platform/Prompter.h"
#include "platform/WindowStacking.h"

#include <QInputDialog>
#include <QMenu>
#include <QTableWidget>

namespace {

using Kind = TRegisterBreakpoint::Kind;

struct BreakItem {
    const char* caption;
    Kind kind;
};
constexpr BreakItem kBreakItems[] = {
    {"Break on &Write", Kind::Write}, {"Break on &Read", Kind::Read}, {"Break When E&qual...", Kind::Equals}};

}  // namespace

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

bool TDebugWindow::IsBreakableName(const QString& name) {
    TRegisterBreakpoint breakpoint;
    breakpoint.name = name;
    return RegisterBreakpointFromText(RegisterBreakpointText(breakpoint)) == breakpoint;
}

int TDebugWindow::askByte(const QString& what, const QString& now) {
    return askByte({"WriteRegisterDlg", "Write " + what,
                    QString("New value of %1 (hex 0x.., binary 0b.., or decimal):").arg(what)},
                   now);
}

int TDebugWindow::askByte(const ByteQuestion& question, const QString& now) {
    QInputDialog dialog(this);
    dialog.setObjectName(question.dialogName);
    dialog.setWindowTitle(question.title);
    dialog.setLabelText(question.label);
    dialog.setTextValue(now);
    if (prompter_.showModal(dialog) != QDialog::Accepted)
        return -1;
    int value = ParseByte(dialog.textValue());
    if (value < 0)
        prompter_.error(QString("%1 is not a byte: give 0 to 255, 0x00 to 0xFF or 0b00000000 to 0b11111111.")
                            .arg(dialog.textValue()));
    return value;
}

void TDebugWindow::popUpOnRows(QTableWidget* table, QMenu* menu, std::function<void()> beforeShow) {
    table->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(table, &QWidget::customContextMenuRequested, this, [table, menu, beforeShow](const QPoint& at) {
        int row = table->rowAt(at.y());
        if (row < 0)
            return;
        table->selectRow(row);
        if (beforeShow)
            beforeShow();
        menu->popup(table->viewport()->mapToGlobal(at));
    });
}

void TDebugWindow::addBreakActions(QMenu* menu, std::function<QString()> registerOfRow) {
    for (const BreakItem& item : kBreakItems)
        connect(menu->addAction(item.caption), &QAction::triggered, this,
                [this, registerOfRow, kind = item.kind] { wantBreak(kind, registerOfRow()); });
}

void TDebugWindow::wantBreak(Kind kind, const QString& name) {
    if (name.isEmpty())
        return;
    if (!IsBreakableName(name)) {
        // a watch may be any text the user typed; gpsim is given only a word
        prompter_.error(
            QString("%1 is not a register's name or an address a breakpoint can hold.").arg(name));
        return;
    }
    TRegisterBreakpoint breakpoint{kind, name};
    if (kind == Kind::Equals) {
        breakpoint.value =
            askByte({"BreakValueDlg", "Break When " + name + " Equals",
                     QString("Stop when %1 is written as (hex 0x.., binary 0b.., or decimal):").arg(name)},
                    "0x00");
        if (breakpoint.value < 0)
            return;
    }
    emit registerBreakWanted(breakpoint);
}
