// SPDX-License-Identifier: GPL-3.0-or-later
// What the whole-chip views show at a stop: memory as grids of sixteen cells, the watches, the rows of
// program memory, and the value of a name in the text; all from values the session has read already.
#pragma once

#include "gpsim/SimSession.h"

#include <QString>

#include <array>
#include <optional>
#include <vector>

// The names a stopped program's values are known by: its own registers and every symbol of the .cod, and
// the part's special function registers with their bits.
struct ChipNames {
    const std::vector<CodSymbol>& registers;
    const std::vector<SpecialRegister>& specialRegisters;
    const std::vector<CodSymbol>& symbols;
};
ChipNames NamesOf(const SimSession& session);

// Sixteen cells of a memory grid.
struct MemoryGridRow {
    uint32_t address = 0;          // of its first cell
    QString bank;                  // "Bank 1" on the first row of each bank; empty elsewhere
    std::array<int, 16> values{};  // -1 where there is no register
    std::array<bool, 16> changed{};
    QString names;                 // the program's names of its cells: "20 Count  21 Temp"
};
// The rows of a dump, sixteen cells each, from address 0; a row without a single register is left out.
// `bankSize` 0 draws no banks (the EEPROM). `before` is the dump of the stop before, or none.
std::vector<MemoryGridRow> MemoryGridRows(const std::vector<int>& now, const std::vector<int>* before,
                                          uint32_t bankSize, const std::vector<CodSymbol>& names);
// The name of a file register: the program's, else the part's; empty when it has none.
QString CellName(uint32_t address, const ChipNames& names);

enum class WatchFormat { Hex, Decimal, Binary, Char };
// "hex", "dec", "bin", "char" as the project file keeps them; anything else reads as Hex.
WatchFormat WatchFormatFromText(const std::string& text);
std::string WatchFormatText(WatchFormat format);
// A byte as a watch shows it: "0x41", "65", "0b01000001", "'A'" (a dot for what cannot be printed).
QString FormatByte(int value, WatchFormat format);

struct Watch {
    QString symbol;  // as the user gave it: a register's name, or an address ("0x20", "32")
    WatchFormat format = WatchFormat::Hex;
};
struct WatchRow {
    QString symbol, address, value, bits;
    bool changed = false;
};
// The file register a watch names: a register of the program or of the part (in the program's letter case
// first, then in any), any other constant of the program below the part's 512 file registers, or a number.
std::optional<uint32_t> WatchAddress(const QString& symbol, const ChipNames& names);
// One row per watch; values only when `now` is a stop (else "not stopped"), "unknown name" for a name the
// program does not know.
std::vector<WatchRow> WatchRows(const std::vector<Watch>& watches, const SimStop* now, const SimStop* before,
                                const ChipNames& names);

// The tooltip of a name in the text while the program is stopped: a register's value in hex, decimal and
// binary with its bits by name; a bit's register and value; a label's program address; a constant's value.
// Empty for a word the program and the part do not know.
QString ValueTip(const QString& word, const SimStop& stop, const ChipNames& names);

// A pin of a port as the Pins window draws it.
struct Pin {
    QString name;         // "RB0" as the header names the port's bit, else as data sheets do ("RC5", "GP2")
    int bit = 0;          // of the port register, 0 to 7
    bool output = false;  // its TRIS bit is 0
    bool high = false;
};
struct PortRow {
    QString port;  // "PORTB"
    std::vector<Pin> pins;  // bit 7 first, the bits the part has
};
// Every port of the part (a PORTx or GPIO register with its TRISx) with its pins' directions and levels at
// a stop; a port whose register gpsim has no value for is left out.
std::vector<PortRow> PortRows(const SimStop& stop, const std::vector<SpecialRegister>& registers);
