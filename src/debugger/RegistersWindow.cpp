// SPDX-License-Identifier: GPL-3.0-or-later
// The registers window: a table of name, address and value.
#include "debugger/RegistersWindow.h"

#include "debugger/KeptPlacement.h"
#include "debugger/StopTable.h"
#include "platform/WindowStacking.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>


TRegistersWindow::TRegistersWindow(Registry& registry, QWidget* parent)
    : QWidget(parent,
              Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                  Qt::WindowCloseButtonHint),
      placement_(nullptr) {
    setObjectName("RegistersWindow");
    setWindowTitle("Registers");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    Note = new QLabel(this);
    Note->setObjectName("Note");
    Note->setWordWrap(true);
    Note->hide();
    Table = MakeStopTable(this, {"Name", "Address", "Value"});
    Table->setSelectionMode(QAbstractItemView::NoSelection);
    ZeroStopwatch = new QPushButton("&Zero Stopwatch", this);
    ZeroStopwatch->setObjectName("ZeroStopwatch");
    connect(ZeroStopwatch, &QPushButton::clicked, this, &TRegistersWindow::zeroStopwatch);
    layout->addWidget(Note);
    layout->addWidget(Table);
    layout->addWidget(ZeroStopwatch, 0, Qt::AlignRight);
    resize(360, 420);
    KeepAboveProgramWindows(*this);
    placement_ = new TKeptPlacement(*this, registry, "Forms\\Registers");
}

TRegistersWindow::~TRegistersWindow() {
    placement_->saveIfShown();
}

bool TRegistersWindow::placed() const {
    return placement_->placed();
}

void TRegistersWindow::ShowRows(const std::vector<RegisterRow>& rows) {
    Table->setRowCount(int(rows.size()));
    for (int row = 0; row < int(rows.size()); ++row) {
        const RegisterRow& shown = rows[size_t(row)];
        SetStopRow(*Table, row, {shown.name, shown.address, shown.value}, shown.changed);
    }
    FitColumns(*Table);
}

void TRegistersWindow::SetNote(const QString& text) {
    Note->setText(text);
    Note->setVisible(!text.isEmpty());
}
