// SPDX-License-Identifier: GPL-3.0-or-later
// The special function registers window.
#include "debugger/SfrWindow.h"

#include "debugger/StopTable.h"

#include <QHeaderView>
#include <QMenu>
#include <QTableWidget>
#include <QVBoxLayout>

int ParseByte(const QString& text) {
    QString value = text.trimmed().toLower();
    int base = 10;
    if (value.startsWith("0x")) {
        value = value.mid(2);
        base = 16;
    } else if (value.startsWith("0b")) {
        value = value.mid(2);
        base = 2;
    } else if (value.startsWith("b'") && value.endsWith('\'')) {
        value = value.mid(2, value.size() - 3);
        base = 2;
    }
    bool ok = false;
    int number = value.toInt(&ok, base);
    return ok && number >= 0 && number <= 0xFF ? number : -1;
}

TSfrWindow::TSfrWindow(Prompter& prompter, Registry& registry, QWidget* parent)
    : TDebugWindow(prompter, registry, "SfrWindow", "Special Function Registers", "Forms\\SFR", {640, 480}, parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    Table = MakeStopTable(this, {"Address", "Name", "Hex", "Decimal", "Binary", "Bits"});
    Table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    Table->setSelectionBehavior(QAbstractItemView::SelectRows);
    connect(Table, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { askValue(row); });
    RowMenu = new QMenu(this);
    RowMenu->setObjectName("SfrRowMenu");
    addBreakActions(RowMenu, [this] {
        int row = Table->currentRow();
        return row >= 0 && row < int(rows_.size()) ? rows_[size_t(row)].name : QString();
    });
    popUpOnRows(Table, RowMenu);
    layout->addWidget(Table);
}

void TSfrWindow::ShowRows(const std::vector<SfrRow>& rows) {
    bool sameRegisters = rows.size() == rows_.size() &&
                         std::equal(rows.begin(), rows.end(), rows_.begin(),
                                    [](const SfrRow& a, const SfrRow& b) { return a.address == b.address; });
    std::vector<SfrRow> shownBefore = std::exchange(rows_, rows);
    Table->setRowCount(int(rows.size()));
    for (int row = 0; row < int(rows.size()); ++row) {
        const SfrRow& shown = rows[size_t(row)];
        // a stop changes few registers: only their rows are set again
        if (sameRegisters && shownBefore[size_t(row)].hex == shown.hex &&
            shownBefore[size_t(row)].changed == shown.changed)
            continue;
        QString address = QString("0x%1").arg(shown.address, 3, 16, QChar('0')).toUpper().replace("0X", "0x");
        SetStopRow(*Table, row, {address, shown.name, shown.hex, shown.decimal, shown.binary, shown.bits},
                   shown.changed);
    }
    if (!sameRegisters)
        Table->resizeColumnsToContents();
}

void TSfrWindow::askValue(int row) {
    if (row < 0 || row >= int(rows_.size()))
        return;
    const SfrRow& shown = rows_[size_t(row)];
    if (int value = askByte(shown.name, shown.hex); value >= 0)
        emit writeRegister(shown.address, value);
}
