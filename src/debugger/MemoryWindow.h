// SPDX-License-Identifier: GPL-3.0-or-later
// A memory as a hex grid of sixteen cells a row, with addresses: the File Registers window (by bank, the
// program's names beside their cells) and the EEPROM window. A double-click on a cell writes it; a file
// register's popup menu sets a breakpoint on it.
#pragma once

#include "debugger/DebugWindow.h"
#include "gpsim/ChipViews.h"

#include <functional>

class QLabel;
class QMenu;
class QTableWidget;

class TMemoryWindow : public TDebugWindow {
    Q_OBJECT
  public:
    enum class Kind { FileRegisters, Eeprom };
    TMemoryWindow(Kind kind, Prompter& prompter, Registry& registry, QWidget* parent = nullptr);

    QTableWidget* Table;
    QLabel* Note;     // what is shown when there is no grid
    QMenu* CellMenu;  // the File Registers' only; none for the EEPROM

    // The grid at a stop; `cellName` names a cell for its tooltip. No rows: `note` says why.
    void ShowRows(const std::vector<MemoryGridRow>& rows, const std::function<QString(uint32_t)>& cellName,
                  const QString& note = {});
    // The address of a cell on screen; none for a cell that holds no register.
    std::optional<uint32_t> AddressAt(int row, int column) const;

  signals:
    // The user gave a cell a new value.
    void writeByte(uint32_t address, int value);

  private:
    void askValue(int row, int column);
    void addCellMenu();
    // The register of the current cell as a breakpoint names it: its name, else its address.
    QString currentRegister() const;

    Kind kind_;
    std::vector<MemoryGridRow> rows_;
};
