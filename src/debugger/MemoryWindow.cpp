// SPDX-License-Identifier: GPL-3.0-or-later
// The File Registers and EEPROM windows.
#include "debugger/MemoryWindow.h"

#include "debugger/StopTable.h"

#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int kFirstCell = 2;  // after the bank and the address

QStringList Headers(TMemoryWindow::Kind kind) {
    QStringList headers{"Bank", "Address"};
    for (int cell = 0; cell < 16; ++cell)
        headers << QString("%1").arg(cell, 2, 16, QChar('0')).toUpper();
    if (kind == TMemoryWindow::Kind::FileRegisters)
        headers << "Names";
    return headers;
}

}  // namespace

TMemoryWindow::TMemoryWindow(Kind kind, Prompter& prompter, Registry& registry, QWidget* parent)
    : TDebugWindow(prompter, registry, kind == Kind::FileRegisters ? "FileRegistersWindow" : "EepromWindow",
                   kind == Kind::FileRegisters ? "File Registers" : "EEPROM",
                   kind == Kind::FileRegisters ? "Forms\\FileRegisters" : "Forms\\EEPROM",
                   kind == Kind::FileRegisters ? QSize(760, 480) : QSize(560, 420), parent),
      CellMenu(nullptr),
      kind_(kind) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    Table = MakeStopTable(this, Headers(kind));
    Table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    Table->setSelectionMode(QAbstractItemView::SingleSelection);
    if (kind == Kind::Eeprom)
        Table->hideColumn(0);  // the EEPROM has no banks
    connect(Table, &QTableWidget::cellDoubleClicked, this, &TMemoryWindow::askValue);
    if (kind == Kind::FileRegisters)
        addCellMenu();  // gpsim breaks on file registers only
    Note = new QLabel(this);
    Note->setObjectName("Note");
    Note->setWordWrap(true);
    layout->addWidget(Note);
    layout->addWidget(Table);
}

void TMemoryWindow::ShowRows(const std::vector<MemoryGridRow>& rows,
                             const std::function<QString(uint32_t)>& cellName, const QString& note) {
    Note->setText(note);
    Note->setVisible(!note.isEmpty());
    bool sameLayout = rows.size() == rows_.size() &&
                      std::equal(rows.begin(), rows.end(), rows_.begin(),
                                 [](const auto& a, const auto& b) { return a.address == b.address; });
    std::vector<MemoryGridRow> shownBefore = std::exchange(rows_, rows);
    Table->setRowCount(int(rows.size()));
    for (int row = 0; row < int(rows.size()); ++row) {
        const MemoryGridRow& shown = rows[size_t(row)];
        // a stop changes few cells: only those are set again
        const MemoryGridRow* before = sameLayout ? &shownBefore[size_t(row)] : nullptr;
        if (!before) {
            SetStopCell(*Table, row, 0, shown.bank, false);
            SetStopCell(*Table, row, 1, QString("%1").arg(shown.address, 4, 16, QChar('0')).toUpper(), false);
        }
        for (int cell = 0; cell < 16; ++cell) {
            int value = shown.values[size_t(cell)];
            bool changed = shown.changed[size_t(cell)];
            if (before && before->values[size_t(cell)] == value && before->changed[size_t(cell)] == changed)
                continue;
            QString text = value < 0 ? QString("--") : QString("%1").arg(value, 2, 16, QChar('0')).toUpper();
            SetStopCell(*Table, row, kFirstCell + cell, text, changed);
            if (!before)
                Table->item(row, kFirstCell + cell)->setToolTip(cellName(shown.address + uint32_t(cell)));
        }
        if (kind_ == Kind::FileRegisters && (!before || before->names != shown.names))
            SetStopCell(*Table, row, kFirstCell + 16, shown.names, false);
    }
    if (!sameLayout)
        Table->resizeColumnsToContents();
}

std::optional<uint32_t> TMemoryWindow::AddressAt(int row, int column) const {
    int cell = column - kFirstCell;
    if (row < 0 || row >= int(rows_.size()) || cell < 0 || cell >= 16 || rows_[size_t(row)].values[size_t(cell)] < 0)
        return std::nullopt;
    return rows_[size_t(row)].address + uint32_t(cell);
}

void TMemoryWindow::addCellMenu() {
    Table->setContextMenuPolicy(Qt::CustomContextMenu);
    CellMenu = new QMenu(this);
    CellMenu->setObjectName("FileRegisterCellMenu");
    addBreakActions(CellMenu, [this] { return currentRegister(); });
    connect(Table, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        int row = Table->rowAt(at.y()), column = Table->columnAt(at.x());
        if (!AddressAt(row, column))
            return;
        Table->setCurrentCell(row, column);
        CellMenu->popup(Table->viewport()->mapToGlobal(at));
    });
}

QString TMemoryWindow::currentRegister() const {
    int row = Table->currentRow(), column = Table->currentColumn();
    std::optional<uint32_t> address = AddressAt(row, column);
    if (!address)
        return {};
    // the tooltip holds every name of the cell, the program's first
    QString names = Table->item(row, column)->toolTip();
    if (!names.isEmpty())
        return names.section(", ", 0, 0);
    return QString("0x%1").arg(*address, 2, 16, QChar('0')).toUpper().replace("0X", "0x");
}

void TMemoryWindow::askValue(int row, int column) {
    std::optional<uint32_t> address = AddressAt(row, column);
    if (!address)
        return;
    QString name = Table->item(row, column)->toolTip();
    QString what = QString(kind_ == Kind::Eeprom ? "EEPROM 0x%1" : "0x%1").arg(*address, 2, 16, QChar('0')).toUpper().replace("0X", "0x");
    if (!name.isEmpty())
        what += " (" + name + ")";
    if (int value = askByte(what, "0x" + Table->item(row, column)->text()); value >= 0)
        emit writeByte(*address, value);
}
