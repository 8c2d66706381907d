// SPDX-License-Identifier: GPL-3.0-or-later
// The Watches window.
#include "debugger/WatchWindow.h"

#include "debugger/StopTable.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

struct FormatItem {
    const char* caption;
    WatchFormat format;
};
constexpr FormatItem kFormats[] = {{"&Hex", WatchFormat::Hex},
                                   {"&Decimal", WatchFormat::Decimal},
                                   {"&Binary", WatchFormat::Binary},
                                   {"&Character", WatchFormat::Char}};

}  // namespace

TWatchWindow::TWatchWindow(Prompter& prompter, Registry& registry, QWidget* parent)
    : TDebugWindow(prompter, registry, "WatchWindow", "Watches", "Forms\\Watches", {520, 300}, parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    Table = MakeStopTable(this, {"Symbol", "Address", "Value", "Bits"});
    Table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    Table->setSelectionBehavior(QAbstractItemView::SelectRows);
    connect(Table, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { askValue(row); });
    RowMenu = new QMenu(this);
    RowMenu->setObjectName("WatchRowMenu");
    for (const FormatItem& item : kFormats) {
        QAction* action = RowMenu->addAction(item.caption);
        connect(action, &QAction::triggered, this,
                [this, format = item.format] { SetFormat(Table->currentRow(), format); });
    }
    RowMenu->addSeparator();
    connect(RowMenu->addAction("&Remove\tDel"), &QAction::triggered, this,
            [this] { RemoveWatch(Table->currentRow()); });
    RowMenu->addSeparator();
    addBreakActions(RowMenu, [this] {
        int row = Table->currentRow();
        return row >= 0 && row < int(watches_.size()) ? watches_[size_t(row)].symbol : QString();
    });
    popUpOnRows(Table, RowMenu);
    layout->addWidget(Table);
    auto* addRow = new QHBoxLayout;
    auto* label = new QLabel("&Add:", this);
    AddEdit = new QLineEdit(this);
    AddEdit->setObjectName("AddEdit");
    AddEdit->setPlaceholderText("a register's name or an address, then Enter");
    label->setBuddy(AddEdit);
    connect(AddEdit, &QLineEdit::returnPressed, this, [this] {
        AddWatch(AddEdit->text());
        AddEdit->clear();
    });
    addRow->addWidget(label);
    addRow->addWidget(AddEdit);
    layout->addLayout(addRow);
}

void TWatchWindow::SetWatches(std::vector<Watch> watches) {
    watches_ = std::move(watches);
}

void TWatchWindow::AddWatch(const QString& symbol) {
    QString name = symbol.trimmed();
    if (name.isEmpty())
        return;
    for (const Watch& watch : watches_)
        if (watch.symbol == name)
            return;
    watches_.push_back({name, WatchFormat::Hex});
    emit watchesChanged();
}

void TWatchWindow::RemoveWatch(int row) {
    if (row < 0 || row >= int(watches_.size()))
        return;
    watches_.erase(watches_.begin() + row);
    emit watchesChanged();
}

void TWatchWindow::SetFormat(int row, WatchFormat format) {
    if (row < 0 || row >= int(watches_.size()) || watches_[size_t(row)].format == format)
        return;
    watches_[size_t(row)].format = format;
    emit watchesChanged();
}

void TWatchWindow::ShowRows(const std::vector<WatchRow>& rows) {
    rows_ = rows;
    Table->setRowCount(int(rows.size()));
    for (int row = 0; row < int(rows.size()); ++row) {
        const WatchRow& shown = rows[size_t(row)];
        SetStopRow(*Table, row, {shown.symbol, shown.address, shown.value, shown.bits}, shown.changed);
    }
    FitColumns(*Table);
}

void TWatchWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete && Table->hasFocus()) {
        RemoveWatch(Table->currentRow());
        return;
    }
    TDebugWindow::keyPressEvent(event);
}

void TWatchWindow::askValue(int row) {
    if (row < 0 || row >= int(rows_.size()) || rows_[size_t(row)].address.isEmpty())
        return;
    const WatchRow& shown = rows_[size_t(row)];
    if (int value = askByte(shown.symbol, shown.value); value >= 0)
        emit writeRegister(shown.symbol, value);
}
