// SPDX-License-Identifier: GPL-3.0-or-later
// The special function registers window.
#include "debugger/SfrWindow.h"

#include "platform/Prompter.h"
#include "platform/WindowStacking.h"
#include "debugger/KeptPlacement.h"
#include "debugger/StopTable.h"

#include <QHeaderView>
#include <QInputDialog>
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
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      prompter_(prompter) {
    setObjectName("SfrWindow");
    setWindowTitle("Special Function Registers");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    Table = MakeStopTable(this, {"Address", "Name", "Hex", "Decimal", "Binary", "Bits"});
    Table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    Table->setSelectionBehavior(QAbstractItemView::SelectRows);
    connect(Table, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { askValue(row); });
    layout->addWidget(Table);
    resize(640, 480);
    KeepAboveProgramWindows(*this);
    placement_ = new TKeptPlacement(*this, registry, "Forms\\SFR");
}

TSfrWindow::~TSfrWindow() {
    placement_->saveIfShown();
}

bool TSfrWindow::placed() const {
    return placement_->placed();
}

void TSfrWindow::ShowRows(const std::vector<SfrRow>& rows) {
    rows_ = rows;
    Table->setRowCount(int(rows.size()));
    for (int row = 0; row < int(rows.size()); ++row) {
        const SfrRow& shown = rows[size_t(row)];
        QString address = QString("0x%1").arg(shown.address, 3, 16, QChar('0')).toUpper().replace("0X", "0x");
        SetStopRow(*Table, row, {address, shown.name, shown.hex, shown.decimal, shown.binary, shown.bits},
                   shown.changed);
    }
    Table->resizeColumnsToContents();
}

void TSfrWindow::askValue(int row) {
    if (row < 0 || row >= int(rows_.size()))
        return;
    const SfrRow& shown = rows_[size_t(row)];
    QInputDialog dialog(this);
    dialog.setObjectName("WriteRegisterDlg");
    dialog.setWindowTitle("Write " + shown.name);
    dialog.setLabelText(QString("New value of %1 (hex 0x.., binary 0b.., or decimal):").arg(shown.name));
    dialog.setTextValue(shown.hex);
    if (prompter_.showModal(dialog) != QDialog::Accepted)
        return;
    int value = ParseByte(dialog.textValue());
    if (value < 0) {
        prompter_.error(QString("%1 is not a byte: give 0 to 255, 0x00 to 0xFF or 0b00000000 to 0b11111111.")
                            .arg(dialog.textValue()));
        return;
    }
    emit writeRegister(shown.address, value);
}
