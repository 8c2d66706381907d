// RETLW, RETURN, RLF and RRF handlers.
#include "sim/Instr.h"

#include "sim/InstFrame.h"

namespace sim {

namespace {

// Steps SP back round the ring first, so a return with nothing pushed takes Stack[7].
void PopReturnAddress() {
    PicState.SP = (PicState.SP - 1) & kStackSlotMask;
    PicState.PC = PicState.Stack[PicState.SP];
}

// The old C goes in, the bit shifted out becomes C; Z and DC stay.
template <Dest D>
void Rlf() {
    CountCycles(1);
    const uint8_t f = FileOperand();
    const uint8_t value = ReadReg(f);
    const uint8_t r = static_cast<uint8_t>((value << 1) | (PicState.Flags & kC));
    SetFlags(kC, value >> 7);
    StoreResult<D>(f, r);
    NextWord();
}

template <Dest D>
void Rrf() {
    CountCycles(1);
    const uint8_t f = FileOperand();
    const uint8_t value = ReadReg(f);
    const uint8_t r = static_cast<uint8_t>((PicState.Flags & kC) << 7 | value >> 1);
    SetFlags(kC, value & 0x01);
    StoreResult<D>(f, r);
    NextWord();
}

}  // namespace

void Retlw() {
    CountCycles(2);
    PicState.W = Literal8();
    PopReturnAddress();
}

void Return() {
    CountCycles(2);
    PopReturnAddress();
}

void RlfToW() {
    Rlf<Dest::W>();
}
void RlfToF() {
    Rlf<Dest::F>();
}
void RrfToW() {
    Rrf<Dest::W>();
}
void RrfToF() {
    Rrf<Dest::F>();
}

}  // namespace sim
