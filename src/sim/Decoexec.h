// SPDX-License-Identifier: GPL-3.0-or-later
// Instruction decoding: one handler for every 14-bit word, built at compile time from the encoding ranges.
#pragma once

#include "sim/Insta.h"
#include "sim/Instc.h"
#include "sim/Instd.h"
#include "sim/Instg.h"
#include "sim/Insti.h"
#include "sim/Instm.h"
#include "sim/Instr.h"
#include "sim/Insts.h"
#include "sim/Instx.h"
#include "sim/Pic14.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace sim {

// The handler of every word without an operation (CLRW, RETFIE, SLEEP, CLRWDT and the bit operations
// included): it changes nothing, so repeated steps stay on that word.
void EmptyOp();

struct DecodeRange {
    uint16_t First;
    uint16_t Last;
    InstrHandler Op;
};

// Words not listed execute as EmptyOp. Register-oriented rows split at bit 7, the destination bit.
inline constexpr DecodeRange kDecodeRanges[] = {
    {0x0000, 0x0000, &Nop},       {0x0020, 0x0020, &Nop},       {0x0040, 0x0040, &Nop},
    {0x0060, 0x0060, &Nop},       {0x0008, 0x0008, &Return},    {0x0080, 0x00FF, &Movwf},
    {0x0180, 0x01FF, &Clrf},      {0x0200, 0x027F, &SubwfToW},  {0x0280, 0x02FF, &SubwfToF},
    {0x0300, 0x037F, &DecfToW},   {0x0380, 0x03FF, &DecfToF},   {0x0400, 0x047F, &IorwfToW},
    {0x0480, 0x04FF, &IorwfToF},  {0x0500, 0x057F, &AndwfToW},  {0x0580, 0x05FF, &AndwfToF},
    {0x0600, 0x067F, &XorwfToW},  {0x0680, 0x06FF, &XorwfToF},  {0x0700, 0x077F, &AddwfToW},
    {0x0780, 0x07FF, &AddwfToF},  {0x0800, 0x087F, &MovfToW},   {0x0880, 0x08FF, &MovfToF},
    {0x0900, 0x097F, &ComfToW},   {0x0980, 0x09FF, &ComfToF},   {0x0A00, 0x0A7F, &IncfToW},
    {0x0A80, 0x0AFF, &IncfToF},   {0x0B00, 0x0B7F, &DecfszToW}, {0x0B80, 0x0BFF, &DecfszToF},
    {0x0C00, 0x0C7F, &RrfToW},    {0x0C80, 0x0CFF, &RrfToF},    {0x0D00, 0x0D7F, &RlfToW},
    {0x0D80, 0x0DFF, &RlfToF},    {0x0E00, 0x0E7F, &SwapfToW},  {0x0E80, 0x0EFF, &SwapfToF},
    {0x0F00, 0x0F7F, &IncfszToW}, {0x0F80, 0x0FFF, &IncfszToF}, {0x2000, 0x27FF, &Call},
    {0x2800, 0x2FFF, &Goto},      {0x3000, 0x33FF, &Movlw},     {0x3400, 0x37FF, &Retlw},
    {0x3800, 0x38FF, &Iorlw},     {0x3900, 0x39FF, &Andlw},     {0x3A00, 0x3AFF, &Xorlw},
    {0x3C00, 0x3DFF, &Sublw},     {0x3E00, 0x3FFF, &Addlw},
};

inline constexpr std::size_t kWordCount = 16384;

// Indexed by the raw instruction word; constant data, complete before the first step.
inline constexpr std::array<InstrHandler, kWordCount> DecodeTable = [] {
    std::array<InstrHandler, kWordCount> table{};
    table.fill(&EmptyOp);
    for (const DecodeRange& range : kDecodeRanges)
        for (unsigned word = range.First; word <= range.Last; ++word)
            table[word] = range.Op;
    return table;
}();

constexpr std::size_t CountWordsWithOperation() {
    std::size_t count = 0;
    for (InstrHandler op : DecodeTable)
        count += op != &EmptyOp ? 1 : 0;
    return count;
}

static_assert(CountWordsWithOperation() == 11781, "the encoding has 11,781 words with an operation");

// The operations as numbers, for RunSteps' dispatch without a call per instruction.
// clang-format off
enum class Operation : uint8_t {
    Empty, Nop, Return, Movwf, Clrf, SubwfToW, SubwfToF, DecfToW, DecfToF, IorwfToW, IorwfToF, AndwfToW,
    AndwfToF, XorwfToW, XorwfToF, AddwfToW, AddwfToF, MovfToW, MovfToF, ComfToW, ComfToF, IncfToW, IncfToF,
    DecfszToW, DecfszToF, RrfToW, RrfToF, RlfToW, RlfToF, SwapfToW, SwapfToF, IncfszToW, IncfszToF, Call,
    Goto, Movlw, Retlw, Iorlw, Andlw, Xorlw, Sublw, Addlw,
};
// clang-format on

// The handler of each operation, indexed by Operation.
inline constexpr InstrHandler kOperationHandlers[] = {
    &EmptyOp,  &Nop,      &Return,   &Movwf,    &Clrf,      &SubwfToW,  &SubwfToF,  &DecfToW,  &DecfToF,
    &IorwfToW, &IorwfToF, &AndwfToW, &AndwfToF, &XorwfToW,  &XorwfToF,  &AddwfToW,  &AddwfToF, &MovfToW,
    &MovfToF,  &ComfToW,  &ComfToF,  &IncfToW,  &IncfToF,   &DecfszToW, &DecfszToF, &RrfToW,   &RrfToF,
    &RlfToW,   &RlfToF,   &SwapfToW, &SwapfToF, &IncfszToW, &IncfszToF, &Call,      &Goto,     &Movlw,
    &Retlw,    &Iorlw,    &Andlw,    &Xorlw,    &Sublw,     &Addlw,
};

// The operation of every word, taken from the same ranges as DecodeTable (and its handlers from
// kOperationHandlers), so that the two cannot disagree. Words not listed are Empty.
inline constexpr std::array<Operation, kWordCount> OperationTable = [] {
    std::array<Operation, kWordCount> table{};
    for (const DecodeRange& range : kDecodeRanges) {
        std::size_t index = 0;
        while (kOperationHandlers[index] != range.Op)
            ++index;
        for (unsigned word = range.First; word <= range.Last; ++word)
            table[word] = static_cast<Operation>(index);
    }
    return table;
}();

static_assert(std::size(kOperationHandlers) == static_cast<std::size_t>(Operation::Addlw) + 1,
              "one handler for each operation");

// n steps at once, with the same result as n calls of Step: W, Flags, SP, PC and Cycles are kept in locals
// for the whole run and written back at its end. Used where no one looks between steps (pic14run's step and
// bench); Trace Into keeps Step.
void RunSteps(uint64_t count);

}  // namespace sim
