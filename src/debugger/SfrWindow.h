// SPDX-License-Identifier: GPL-3.0-or-later
// The Special Function Registers window: every SFR of the running part with its value four ways and its
// bits by name; a double-click writes a new value through gpsim, and a row's popup menu sets a breakpoint on
// the register.
#pragma once

#include "debugger/DebugWindow.h"
#include "gpsim/RegisterRows.h"

class QMenu;
class QTableWidget;

class TSfrWindow : public TDebugWindow {
    Q_OBJECT
  public:
    TSfrWindow(Prompter& prompter, Registry& registry, QWidget* parent = nullptr);

    QTableWidget* Table;
    QMenu* RowMenu;

    void ShowRows(const std::vector<SfrRow>& rows);

  signals:
    // The user gave a register a new value.
    void writeRegister(uint32_t address, int value);

  private:
    void askValue(int row);

    std::vector<SfrRow> rows_;
};

// "0x1F", "31", "0b00011111" or "b'00011111'" as a byte; -1 when it is none.
int ParseByte(const QString& text);
