// SPDX-License-Identifier: GPL-3.0-or-later
// The Program Memory window and its model.
#include "debugger/ProgramMemoryWindow.h"

#include "sim/InstructionSet.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// The editor's colours for the two marks (Default scheme): the execution point, a breakpoint.
const QColor kExecutionBackground(0, 0, 128);
const QColor kBreakpointBackground(192, 0, 0);

}  // namespace

void TProgramMemoryModel::SetProgram(std::vector<uint16_t> words, std::vector<QString> places,
                                     std::vector<QString> lines) {
    beginResetModel();
    words_ = std::move(words);
    places_ = std::move(places);
    lines_ = std::move(lines);
    places_.resize(words_.size());
    lines_.resize(words_.size());
    endResetModel();
}

void TProgramMemoryModel::changedRow(uint32_t address) {
    if (address < words_.size())
        emit dataChanged(index(int(address), 0), index(int(address), ColumnCount - 1));
}

void TProgramMemoryModel::SetPc(std::optional<uint32_t> pc) {
    std::optional<uint32_t> old = std::exchange(pc_, pc);
    if (old)
        changedRow(*old);
    if (pc)
        changedRow(*pc);
}

void TProgramMemoryModel::SetBreakpoints(const std::set<uint32_t>& addresses) {
    std::set<uint32_t> old = std::exchange(breakpoints_, addresses);
    for (uint32_t address : old)
        if (!addresses.count(address))
            changedRow(address);
    for (uint32_t address : addresses)
        if (!old.count(address))
            changedRow(address);
}

int TProgramMemoryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(words_.size());
}

int TProgramMemoryModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TProgramMemoryModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(words_.size()))
        return {};
    auto address = uint32_t(index.row());
    bool atPc = pc_ == address;
    bool breaks = breakpoints_.count(address) > 0;
    if (role == Qt::BackgroundRole && (atPc || breaks))
        return atPc ? kExecutionBackground : kBreakpointBackground;
    if (role == Qt::ForegroundRole && (atPc || breaks))
        return QColor(Qt::white);
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case Mark: return QString(atPc ? "=>" : "") + (breaks ? "B" : "");
    case Address: return QString("%1").arg(address, 4, 16, QChar('0')).toUpper();
    case Word: return QString("%1").arg(words_[address], 4, 16, QChar('0')).toUpper();
    case Instruction: return QString::fromStdString(sim::Disassemble(words_[address]));
    case Source:
        return places_[address].isEmpty() ? QString() : places_[address] + "  " + lines_[address];
    }
    return {};
}

QVariant TProgramMemoryModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const char* const kHeaders[] = {"", "Address", "Word", "Instruction", "Source line"};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return {};
    return QString(kHeaders[section]);
}

TProgramMemoryWindow::TProgramMemoryWindow(Prompter& prompter, Registry& registry, QWidget* parent)
    : TDebugWindow(prompter, registry, "ProgramMemoryWindow", "Program Memory", "Forms\\ProgramMemory",
                   {720, 480}, parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    Model = new TProgramMemoryModel(this);
    Table = new QTableView(this);
    Table->setObjectName("Table");
    Table->setModel(Model);
    Table->verticalHeader()->hide();
    Table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    Table->horizontalHeader()->setStretchLastSection(true);
    Table->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table->setSelectionMode(QAbstractItemView::SingleSelection);
    Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QFont courier("Courier New");
    courier.setPixelSize(13);
    Table->setFont(courier);
    Table->setColumnWidth(TProgramMemoryModel::Mark, 36);
    Table->setColumnWidth(TProgramMemoryModel::Address, 70);
    Table->setColumnWidth(TProgramMemoryModel::Word, 60);
    Table->setColumnWidth(TProgramMemoryModel::Instruction, 170);
    connect(Table, &QTableView::doubleClicked, this,
            [this](const QModelIndex& index) { emit toggleBreakpoint(uint32_t(index.row())); });
    layout->addWidget(Table);
}

void TProgramMemoryWindow::ShowPc(std::optional<uint32_t> pc) {
    Model->SetPc(pc);
    if (pc && *pc < uint32_t(Model->rowCount()))
        Table->scrollTo(Model->index(int(*pc), 0), QAbstractItemView::EnsureVisible);
}

void TProgramMemoryWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F5 && Table->currentIndex().isValid()) {
        emit toggleBreakpoint(uint32_t(Table->currentIndex().row()));
        return;
    }
    TDebugWindow::keyPressEvent(event);
}
