// CALL, CLRF and COMF handlers.
#include "sim/Instc.h"

#include "sim/InstFrame.h"

namespace sim {

namespace {

template <Dest D>
void Comf() {
    CountCycles(1);
    const uint8_t f = FileOperand();
    const uint8_t r = static_cast<uint8_t>(~ReadReg(f));
    SetZ(r);
    StoreResult<D>(f, r);
    NextWord();
}

}  // namespace

// A ninth nested CALL overwrites the oldest return address: the stack is a ring.
void Call() {
    CountCycles(2);
    PicState.Stack[PicState.SP & kStackSlotMask] = static_cast<uint16_t>(PicState.PC + 1);
    PicState.SP = (PicState.SP + 1) & kStackSlotMask;
    PicState.PC = JumpTarget();
}

void Clrf() {
    CountCycles(1);
    WriteReg(FileOperand(), 0x00);
    SetFlags(kZ, kZ);
    NextWord();
}

void ComfToW() {
    Comf<Dest::W>();
}
void ComfToF() {
    Comf<Dest::F>();
}

}  // namespace sim
