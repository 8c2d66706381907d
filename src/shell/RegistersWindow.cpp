// SPDX-License-Identifier: GPL-3.0-or-later
// The registers window: a table of name, address and value.
#include "shell/RegistersWindow.h"

#include "editor/AllReg.h"
#include "platform/Registry.h"
#include "platform/WindowStacking.h"

#include <QHeaderView>
#include <QHideEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cstdlib>

namespace {

const std::string kPlacementKey = std::string(kBaseKey) + "\\Forms\\Registers";

}  // namespace

TRegistersWindow::TRegistersWindow(Registry& registry, QWidget* parent)
    : QWidget(parent,
              Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                  Qt::WindowCloseButtonHint),
      registry_(registry) {
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
    restorePlacement();
}

TRegistersWindow::~TRegistersWindow() {
    if (isVisible())
        savePlacement();
}

void TRegistersWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (!event->spontaneous())  // hidden by the program or closed, not minimised
        savePlacement();
}

void TRegistersWindow::restorePlacement() {
    // "x,y,width,height": the frame's top left corner and the window's own size
    auto stored = registry_.readString(RegRoot::CurrentUser, kPlacementKey, "Geometry");
    QStringList parts = stored ? QString::fromStdString(*stored).split(',') : QStringList();
    if (parts.size() != 4)
        return;
    int numbers[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        numbers[i] = parts[i].trimmed().toInt(&ok);
        if (!ok || std::abs(numbers[i]) > 20000)
            return;
    }
    if (numbers[2] < 50 || numbers[3] < 50)
        return;
    move(numbers[0], numbers[1]);
    resize(numbers[2], numbers[3]);
    placed_ = true;
}

void TRegistersWindow::savePlacement() {
    QRect frame = frameGeometry();
    QString text = QString("%1,%2,%3,%4").arg(frame.x()).arg(frame.y()).arg(width()).arg(height());
    registry_.writeString(RegRoot::CurrentUser, kPlacementKey, "Geometry", text.toStdString());
    placed_ = true;
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
