// SPDX-License-Identifier: GPL-3.0-or-later
// What the registers window shows at a stop: one row per value, marked when the last step changed it.
#pragma once

#include "gpsim/SimSession.h"

#include <QString>

#include <vector>

struct RegisterRow {
    QString name;
    QString address;  // empty for W, the PC and the counters
    QString value;
    bool changed = false;  // differs from the stop before
};

// W, STATUS with C, DC and Z spelled out, the PC, the stack depth, the cycle count, the time at the clock,
// the stopwatch, then the program's named registers. `before` is the previous stop of the same session, or none.
std::vector<RegisterRow> RegisterRows(const SimStop& now, const SimStop* before,
                                      const std::vector<CodSymbol>& registers);

// A row of the special function registers window.
struct SfrRow {
    uint32_t address = 0;
    QString name, hex, decimal, binary, bits;
    bool changed = false;  // differs from the stop before
};
// Every special function register gpsim holds a value for, by address; the bits by name where the header
// names them.
std::vector<SfrRow> SfrRows(const std::vector<SpecialRegister>& registers, const SimStop& now, const SimStop* before);

// "2 µs", "1.5 ms", "10.952434 s": the elapsed time, exact to the instruction cycle.
QString ElapsedText(double seconds);
