// SPDX-License-Identifier: GPL-3.0-or-later
// What resting the mouse on a word of the text tells: an instruction's operands, what it does, its cycles
// and the STATUS bits it changes; a directive's use; a symbol's place and value; a bit's register.
#pragma once

#include "editor/SymbolIndex.h"
#include "gpsim/ProcessorHeader.h"

#include <QString>

#include <vector>

// The help of a mnemonic or a common directive ("movf", "CBLOCK"); empty for any other word.
QString KeywordHelp(const QString& word);
// Where a symbol is defined and its value in hex, decimal and binary; a bit of a special function register
// with its register and number. Empty for a word the index and the part do not know.
QString SymbolHelp(const QString& word, const picsym::SymbolIndex& index,
                   const std::vector<SpecialRegister>& registers);
// The value of a name three ways: "0x20 = 32 = 0b00100000".
QString ValueText(int64_t value);
