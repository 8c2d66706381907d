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

void SetStopRow(QTableWidget& table, int row, const QStringList& texts, bool changed) {
    QFont font = table.font();
    font.setBold(changed);
    QColor colour = changed ? QColor(Qt::red) : table.palette().color(QPalette::Text);
    for (int column = 0; column < int(texts.size()); ++column) {
        auto* item = new QTableWidgetItem(texts[column]);
        item->setFont(font);
        item->setForeground(colour);
        table.setItem(row, column, item);
    }
}
