// SPDX-License-Identifier: GPL-3.0-or-later
// The keyboard shortcuts window, read from the menus and the editor control themselves.
#include "shell/KeysWindow.h"

#include "editor/EditUnit.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>
#include <Qsci/qsciscintilla.h>
#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// "&Find..." as the user reads it: "Find".
QString Plain(QString caption) {
    caption.remove('&');
    if (caption.endsWith("..."))
        caption.chop(3);
    return caption;
}

void AddEditorRows(std::vector<KeyRow>& rows) {
    for (const TEditForm::TabKey& key : TEditForm::TabKeys())
        rows.push_back({"Editor", key.step > 0 ? "Next tab" : "Previous tab",
                        QKeySequence(key.keys).toString(QKeySequence::NativeText)});
    rows.push_back({"Editor", "Open that menu of the main window", "Alt+F, Alt+E, Alt+S, Alt+P, Alt+M, Alt+C, Alt+H"});
    rows.push_back({"Editor", "Toggle a breakpoint", "Click in the line numbers or the gutter"});
    // the editor control's own keys, from its command set
    QsciScintilla editor;
    for (QsciCommand* command : editor.standardCommands()->commands())
        for (int key : {command->key(), command->alternateKey()})
            if (key != 0)
                rows.push_back({"Editor", command->description(),
                                QKeySequence(key).toString(QKeySequence::NativeText)});
}

}  // namespace

std::vector<KeyRow> KeyRows(const QMenuBar& menus) {
    std::vector<KeyRow> rows;
    for (QAction* top : menus.actions()) {
        QMenu* menu = top->menu();
        if (!menu || !top->isVisible())
            continue;
        for (QAction* item : menu->actions())
            if (!item->isSeparator() && item->isVisible() && !item->text().isEmpty())
                rows.push_back({Plain(menu->title()), Plain(item->text()),
                                item->shortcut().toString(QKeySequence::NativeText)});
    }
    AddEditorRows(rows);
    return rows;
}

TKeysWindow::TKeysWindow(QWidget* parent) : QDialog(parent) {
    setObjectName("KeysWindow");
    setWindowTitle("Keyboard Shortcuts");
    auto* layout = new QVBoxLayout(this);
    Table = new QTableWidget(0, 3, this);
    Table->setObjectName("Table");
    Table->setHorizontalHeaderLabels({"Where", "Command", "Keys"});
    Table->verticalHeader()->hide();
    Table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(Table);
    resize(640, 560);
}

void TKeysWindow::ShowRows(const std::vector<KeyRow>& rows) {
    Table->setRowCount(int(rows.size()));
    for (int row = 0; row < int(rows.size()); ++row) {
        const KeyRow& shown = rows[size_t(row)];
        const QString texts[] = {shown.where, shown.command, shown.keys};
        for (int column = 0; column < 3; ++column)
            Table->setItem(row, column, new QTableWidgetItem(texts[column]));
    }
    Table->resizeColumnsToContents();
}
