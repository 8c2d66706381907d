// SPDX-License-Identifier: GPL-3.0-or-later
// The Breakpoints window.
#include "debugger/BreakpointsWindow.h"

#include "debugger/SfrWindow.h"
#include "debugger/StopTable.h"
#include "platform/Prompter.h"

#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

using Kind = TRegisterBreakpoint::Kind;

enum Column { kOn, kWhere, kCondition, kHits };

struct KindItem {
    const char* caption;
    Kind kind;
};
constexpr KindItem kKinds[] = {{"Written", Kind::Write}, {"Read", Kind::Read}, {"Written as", Kind::Equals}};

// The same breakpoint, switched on or off.
bool SameBreak(const TRegisterBreakpoint& a, const TRegisterBreakpoint& b) {
    return a.kind == b.kind && a.name == b.name && (a.kind != Kind::Equals || a.value == b.value);
}

}  // namespace

TBreakpointsWindow::TBreakpointsWindow(Prompter& prompter, Registry& registry, QWidget* parent)
    : TDebugWindow(prompter, registry, "BreakpointsWindow", "Breakpoints", "Forms\\Breakpoints", {560, 300},
                   parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    Table = MakeStopTable(this, {"On", "Where", "Condition", "Hits"});
    Table->setObjectName("BreakpointsTable");
    Table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    Table->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table->setSelectionMode(QAbstractItemView::SingleSelection);
    Table->installEventFilter(this);
    connect(Table, &QTableWidget::itemChanged, this, &TBreakpointsWindow::onCheck);
    connect(Table, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { open(row); });
    connect(Table, &QTableWidget::currentCellChanged, this, &TBreakpointsWindow::updateRowMenu);
    buildRowMenu();
    layout->addWidget(Table);
    layout->addLayout(buildAddLine());
}

void TBreakpointsWindow::buildRowMenu() {
    RowMenu = new QMenu(this);
    RowMenu->setObjectName("BreakpointRowMenu");
    switchAction_ = RowMenu->addAction("Switch &Off");
    connect(switchAction_, &QAction::triggered, this, [this] {
        // through the check box, so the menu and a click say it by one path
        if (QTableWidgetItem* on = Table->item(Table->currentRow(), kOn))
            on->setCheckState(on->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    });
    fromHitAction_ = RowMenu->addAction("Stop from &Hit...");
    connect(fromHitAction_, &QAction::triggered, this, [this] { askFromHit(Table->currentRow()); });
    openAction_ = RowMenu->addAction("&Go to Line");
    connect(openAction_, &QAction::triggered, this, [this] { open(Table->currentRow()); });
    RowMenu->addSeparator();
    connect(RowMenu->addAction("&Remove\tDel"), &QAction::triggered, this,
            [this] { remove(Table->currentRow()); });
    popUpOnRows(Table, RowMenu, [this] { updateRowMenu(); });
}

QLayout* TBreakpointsWindow::buildAddLine() {
    auto* line = new QHBoxLayout;
    auto* label = new QLabel("&Break on:", this);
    RegisterEdit = new QLineEdit(this);
    RegisterEdit->setObjectName("RegisterEdit");
    RegisterEdit->setPlaceholderText("a register's name or an address");
    label->setBuddy(RegisterEdit);
    KindBox = new QComboBox(this);
    KindBox->setObjectName("KindBox");
    for (const KindItem& item : kKinds)
        KindBox->addItem(item.caption, int(item.kind));
    ValueEdit = new QLineEdit(this);
    ValueEdit->setObjectName("ValueEdit");
    ValueEdit->setPlaceholderText("0x00");
    ValueEdit->setMaximumWidth(fontMetrics().horizontalAdvance("0b00000000") + 16);
    ValueEdit->setEnabled(false);
    connect(KindBox, &QComboBox::currentIndexChanged, this,
            [this] { ValueEdit->setEnabled(Kind(KindBox->currentData().toInt()) == Kind::Equals); });
    AddButton = new QPushButton("&Add", this);
    AddButton->setObjectName("AddButton");
    AddNote = new QLabel(this);
    AddNote->setObjectName("AddNote");
    QPalette red = AddNote->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    AddNote->setPalette(red);
    connect(AddButton, &QPushButton::clicked, this, &TBreakpointsWindow::add);
    connect(RegisterEdit, &QLineEdit::returnPressed, this, &TBreakpointsWindow::add);
    connect(ValueEdit, &QLineEdit::returnPressed, this, &TBreakpointsWindow::add);
    for (QWidget* widget :
         std::initializer_list<QWidget*>{label, RegisterEdit, KindBox, ValueEdit, AddButton})
        line->addWidget(widget);
    line->addWidget(AddNote, 1);
    return line;
}

void TBreakpointsWindow::ShowBreakpoints(const std::vector<TLineBreakpoint>& lines,
                                         const std::vector<TRegisterBreakpoint>& registers,
                                         const std::map<SourceLine, int>& hits) {
    // the selection stays with its breakpoint; when that is gone, at the row where it was
    int selected = Table->currentRow();
    if (const TLineBreakpoint* line = lineAt(selected)) {
        auto found =
            std::find_if(lines.begin(), lines.end(), [&](const auto& b) { return b.line == line->line; });
        selected = found != lines.end() ? int(found - lines.begin()) : selected;
    } else if (int index = registerAt(selected); index >= 0) {
        auto found = std::find_if(registers.begin(), registers.end(),
                                  [&](const auto& b) { return SameBreak(b, registers_[size_t(index)]); });
        selected =
            found != registers.end() ? int(lines.size() + size_t(found - registers.begin())) : selected;
    }
    lines_ = lines;
    registers_ = registers;
    const QSignalBlocker quiet(Table);  // the user's checks are what say lineEnabled, not ours
    Table->setRowCount(int(lines.size() + registers.size()));
    int row = 0;
    for (const TLineBreakpoint& line : lines) {
        auto hit = hits.find(line.line);
        setRow(row++, QString("%1:%2").arg(QFileInfo(line.line.first).fileName()).arg(line.line.second),
               line.line.first, ConditionText(line),
               hit != hits.end() ? QString::number(hit->second) : QString(), line.enabled);
    }
    for (const TRegisterBreakpoint& breakpoint : registers)
        setRow(row++, breakpoint.name, {}, ConditionText(breakpoint), {}, breakpoint.enabled);
    FitColumns(*Table);
    selected = std::min(selected, Table->rowCount() - 1);
    if (selected >= 0)
        Table->setCurrentCell(selected, kWhere);
    updateRowMenu();
}

void TBreakpointsWindow::setRow(int row, const QString& where, const QString& tip, const QString& condition,
                                const QString& hits, bool enabled) {
    auto* on = new QTableWidgetItem;
    on->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    on->setCheckState(enabled ? Qt::Checked : Qt::Unchecked);
    Table->setItem(row, kOn, on);
    auto* place = new QTableWidgetItem(where);
    place->setToolTip(tip);
    Table->setItem(row, kWhere, place);
    Table->setItem(row, kCondition, new QTableWidgetItem(condition));
    Table->setItem(row, kHits, new QTableWidgetItem(hits));
}

const TLineBreakpoint* TBreakpointsWindow::lineAt(int row) const {
    return row >= 0 && row < int(lines_.size()) ? &lines_[size_t(row)] : nullptr;
}

int TBreakpointsWindow::registerAt(int row) const {
    int index = row - int(lines_.size());
    return row >= 0 && index >= 0 && index < int(registers_.size()) ? index : -1;
}

bool TBreakpointsWindow::enabledAt(int row) const {
    if (const TLineBreakpoint* line = lineAt(row))
        return line->enabled;
    int index = registerAt(row);
    return index < 0 || registers_[size_t(index)].enabled;
}

void TBreakpointsWindow::onCheck(QTableWidgetItem* item) {
    int row = item->row();
    bool enabled = item->checkState() == Qt::Checked;
    if (item->column() != kOn || enabled == enabledAt(row))
        return;
    // kept here too, so the menu says the new state before the caller shows the list again
    if (lineAt(row)) {
        lines_[size_t(row)].enabled = enabled;
        SourceLine line = lines_[size_t(row)].line;  // a slot may show a new list
        emit lineEnabled(line, enabled);
    } else if (int index = registerAt(row); index >= 0) {
        registers_[size_t(index)].enabled = enabled;
        emit registerEnabled(index, enabled);
    }
    updateRowMenu();
}

void TBreakpointsWindow::updateRowMenu() {
    int row = Table->currentRow();
    switchAction_->setText(enabledAt(row) ? "Switch &Off" : "Switch &On");
    fromHitAction_->setVisible(lineAt(row) != nullptr);
    openAction_->setVisible(lineAt(row) != nullptr);
}

void TBreakpointsWindow::askFromHit(int row) {
    const TLineBreakpoint* breakpoint = lineAt(row);
    if (!breakpoint)
        return;
    SourceLine line = breakpoint->line;
    int now = std::max(1, breakpoint->fromHit);
    QInputDialog dialog(this);
    dialog.setObjectName("FromHitDlg");
    dialog.setWindowTitle("Stop from Hit");
    dialog.setLabelText(
        QString("Stop at %1 from which hit on (1: at every hit):").arg(Table->item(row, kWhere)->text()));
    dialog.setInputMode(QInputDialog::IntInput);
    dialog.setIntRange(1, 1000000);
    dialog.setIntValue(now);
    if (prompter_.showModal(dialog) == QDialog::Accepted && dialog.intValue() != now)
        emit lineFromHit(line, dialog.intValue());
}

void TBreakpointsWindow::open(int row) {
    if (const TLineBreakpoint* breakpoint = lineAt(row)) {
        SourceLine line = breakpoint->line;
        emit lineOpened(line);
    }
}

void TBreakpointsWindow::remove(int row) {
    if (const TLineBreakpoint* breakpoint = lineAt(row)) {
        SourceLine line = breakpoint->line;
        emit lineRemoved(line);
    } else if (int index = registerAt(row); index >= 0) {
        emit registerRemoved(index);
    }
}

void TBreakpointsWindow::add() {
    TRegisterBreakpoint breakpoint;
    breakpoint.name = RegisterEdit->text().trimmed();
    breakpoint.kind = Kind(KindBox->currentData().toInt());
    if (breakpoint.name.isEmpty())
        return refuse("give a name");
    if (!IsBreakableName(breakpoint.name))
        return refuse("not a name");
    if (breakpoint.kind == Kind::Equals) {
        breakpoint.value = ParseByte(ValueEdit->text());
        if (breakpoint.value < 0)
            return refuse("not a byte");
    }
    if (std::any_of(registers_.begin(), registers_.end(),
                    [&](const auto& b) { return SameBreak(b, breakpoint); }))
        return refuse("listed already");
    AddNote->clear();
    RegisterEdit->clear();
    emit registerAdded(breakpoint);
}

void TBreakpointsWindow::refuse(const QString& why) {
    AddNote->setText(why);
}

bool TBreakpointsWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Table && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
            case Qt::Key_Delete:
                remove(Table->currentRow());
                return true;
            case Qt::Key_Return:
            case Qt::Key_Enter:
                open(Table->currentRow());
                return true;
            default:
                break;
        }
    }
    return TDebugWindow::eventFilter(watched, event);
}
