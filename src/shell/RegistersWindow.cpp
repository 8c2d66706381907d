// SPDX-License-Identifier: GPL-3.0-or-later
// The registers window: a table of name, address and value.
#include "shell/RegistersWindow.h"

#include "shell/KeptPlacement.h"
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
    Table = new QTableWidget(0, 3, this);
    Table->setObjectName("Table");
    Table->setHorizontalHeaderLabels({"Name", "Address", "Value"});
    Table->verticalHeader()->hide();
    Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table->setSelectionMode(QAbstractItemView::NoSelection);
    Table->horizontalHeader()->setStretchLastSection(true);
    QFont courier("Courier New");
    courier.setPixelSize(13);
    Table->setFont(courier);
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
        const QString texts[] = {shown.name, shown.address, shown.value};
        for (int column = 0; column < 3; ++column) {
            auto* item = new QTableWidgetItem(texts[column]);
            QFont font = Table->font();
            font.setBold(shown.changed);
            item->setFont(font);
            item->setForeground(shown.changed ? QColor(Qt::red) : palette().color(QPalette::Text));
            Table->setItem(row, column, item);
        }
    }
    Table->resizeColumnsToContents();
}

void TRegistersWindow::SetNote(const QString& text) {
    Note->setText(text);
    Note->setVisible(!text.isEmpty());
}
