// SPDX-License-Identifier: GPL-3.0-or-later
// The debugging windows' table, built and filled by one rule.
#include "debugger/StopTable.h"

#include <QHeaderView>
#include <QTableWidget>

QTableWidget* MakeStopTable(QWidget* parent, const QStringList& headers) {
    auto* table = new QTableWidget(0, int(headers.size()), parent);
    table->setObjectName("Table");
    table->setHorizontalHeaderLabels(headers);
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->horizontalHeader()->setStretchLastSection(true);
    QFont courier("Courier New");
    courier.setPixelSize(13);
    table->setFont(courier);
    return table;
}

void SetStopCell(QTableWidget& table, int row, int column, const QString& text, bool changed) {
    // a stop changes few cells: the others are left as they are, so a refresh costs little
    QTableWidgetItem* item = table.item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        item->setData(Qt::UserRole, !changed);  // drawn as `changed` below
        table.setItem(row, column, item);
    }
    if (item->text() != text)
        item->setText(text);
    if (item->data(Qt::UserRole).toBool() == changed)
        return;
    item->setData(Qt::UserRole, changed);
    QFont font = table.font();
    font.setBold(changed);
    item->setFont(font);
    item->setForeground(changed ? QColor(Qt::red) : table.palette().color(QPalette::Text));
}

void SetStopRow(QTableWidget& table, int row, const QStringList& texts, bool changed) {
    for (int column = 0; column < int(texts.size()); ++column)
        SetStopCell(table, row, column, texts[column], changed);
}

void FitColumns(QTableWidget& table) {
    // measuring text is what costs: a column is fitted again only when its longest text grew (the font has a
    // fixed pitch, so the longest has the most characters)
    QList<QVariant> widest = table.property("widest").toList();
    bool first = widest.size() != table.columnCount();
    widest.resize(table.columnCount());
    for (int column = 0; column < table.columnCount(); ++column) {
        qsizetype longest = 0;
        for (int row = 0; row < table.rowCount(); ++row)
            if (const QTableWidgetItem* item = table.item(row, column))
                longest = std::max(longest, item->text().size());
        if (first || longest > widest[column].toLongLong()) {
            widest[column] = longest;
            if (column + 1 < table.columnCount() || !table.horizontalHeader()->stretchLastSection())
                table.resizeColumnToContents(column);
        }
    }
    table.setProperty("widest", widest);
}
