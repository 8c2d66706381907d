// SPDX-License-Identifier: GPL-3.0-or-later
// The step: fetch the word at PC and call its handler; and the batched run over the same instructions.
#include "sim/Decoexec.h"

namespace sim {

void EmptyOp() {}

// Both masks keep an out-of-range PC or a stray 16-bit word inside ProgMem and DecodeTable.
void Step() {
    DecodeTable[CurrentWord() & kWordMask]();
}

namespace {

// The part of the state an instruction changes besides memory, as locals the compiler keeps in registers.
struct RunState {
    uint8_t W;
    uint8_t Flags;
    uint8_t SP;
    uint16_t PC;
    uint32_t Cycles;
};

}  // namespace

void RunSteps(uint64_t count) {
    RunState s{PicState.W, PicState.Flags, PicState.SP, PicState.PC, PicState.Cycles};
    for (; count > 0; --count) {
        const uint16_t word = PicState.ProgMem[s.PC & kProgAddressMask];
        // clang-format off
        switch (OperationTable[word & kWordMask]) {
        case Operation::Empty:
            count = 1;  // the state stays as it is, so every remaining step would find this word again
            break;
        case Operation::Nop: op::Nop(s, word); break;
        case Operation::Return: op::Return(s, word); break;
        case Operation::Movwf: op::Movwf(s, word); break;
        case Operation::Clrf: op::Clrf(s, word); break;
        case Operation::SubwfToW: op::Subwf<Dest::W>(s, word); break;
        case Operation::SubwfToF: op::Subwf<Dest::F>(s, word); break;
        case Operation::DecfToW: op::Decf<Dest::W>(s, word); break;
        case Operation::DecfToF: op::Decf<Dest::F>(s, word); break;
        case Operation::IorwfToW: op::Iorwf<Dest::W>(s, word); break;
        case Operation::IorwfToF: op::Iorwf<Dest::F>(s, word); break;
        case Operation::AndwfToW: op::Andwf<Dest::W>(s, word); break;
        case Operation::AndwfToF: op::Andwf<Dest::F>(s, word); break;
        case Operation::XorwfToW: op::Xorwf<Dest::W>(s, word); break;
        case Operation::XorwfToF: op::Xorwf<Dest::F>(s, word); break;
        case Operation::AddwfToW: op::Addwf<Dest::W>(s, word); break;
        case Operation::AddwfToF: op::Addwf<Dest::F>(s, word); break;
        case Operation::MovfToW: op::MovfToW(s, word); break;
        case Operation::MovfToF: op::MovfToF(s, word); break;
        case Operation::ComfToW: op::Comf<Dest::W>(s, word); break;
        case Operation::ComfToF: op::Comf<Dest::F>(s, word); break;
        case Operation::IncfToW: op::Incf<Dest::W>(s, word); break;
        case Operation::IncfToF: op::Incf<Dest::F>(s, word); break;
        case Operation::DecfszToW: op::Decfsz<Dest::W>(s, word); break;
        case Operation::DecfszToF: op::Decfsz<Dest::F>(s, word); break;
        case Operation::RrfToW: op::Rrf<Dest::W>(s, word); break;
        case Operation::RrfToF: op::Rrf<Dest::F>(s, word); break;
        case Operation::RlfToW: op::Rlf<Dest::W>(s, word); break;
        case Operation::RlfToF: op::Rlf<Dest::F>(s, word); break;
        case Operation::SwapfToW: op::Swapf<Dest::W>(s, word); break;
        case Operation::SwapfToF: op::Swapf<Dest::F>(s, word); break;
        case Operation::IncfszToW: op::Incfsz<Dest::W>(s, word); break;
        case Operation::IncfszToF: op::Incfsz<Dest::F>(s, word); break;
        case Operation::Call: op::Call(s, word); break;
        case Operation::Goto: op::Goto(s, word); break;
        case Operation::Movlw: op::Movlw(s, word); break;
        case Operation::Retlw: op::Retlw(s, word); break;
        case Operation::Iorlw: op::Iorlw(s, word); break;
        case Operation::Andlw: op::Andlw(s, word); break;
        case Operation::Xorlw: op::Xorlw(s, word); break;
        case Operation::Sublw: op::Sublw(s, word); break;
        case Operation::Addlw: op::Addlw(s, word); break;
        }
        // clang-format on
    }
    PicState.W = s.W;
    PicState.Flags = s.Flags;
    PicState.SP = s.SP;
    PicState.PC = s.PC;
    PicState.Cycles = s.Cycles;
}

}  // namespace sim
