// SUBLW, SUBWF and SWAPF handlers.
#include "sim/Insts.h"

#include "sim/InstFrame.h"

namespace sim {

namespace {

// Sets C, DC and Z of minuend - W and returns the 8-bit difference. C and DC mean "no borrow".
uint8_t SubtractW(uint8_t minuend) {
    const uint8_t w = PicState.W;
    const uint8_t r = static_cast<uint8_t>(minuend - w);
    const uint8_t carry = minuend >= w ? kC : 0;
    const uint8_t digitCarry = (minuend & 0x0F) >= (w & 0x0F) ? kDC : 0;
    SetFlags(kC | kDC | kZ, carry | digitCarry | ZeroFlag(r));
    return r;
}

template <Dest D>
void Subwf() {
    CountCycles(1);
    const uint8_t f = FileOperand();
    StoreResult<D>(f, SubtractW(ReadReg(f)));
    NextWord();
}

template <Dest D>
void Swapf() {
    CountCycles(1);
    const uint8_t f = FileOperand();
    const uint8_t value = ReadReg(f);
    StoreResult<D>(f, static_cast<uint8_t>((value & 0x0F) << 4 | value >> 4));
    NextWord();
}

}  // namespace

void Sublw() {
    CountCycles(1);
    PicState.W = SubtractW(Literal8());
    NextWord();
}

void SubwfToW() {
    Subwf<Dest::W>();
}
void SubwfToF() {
    Subwf<Dest::F>();
}
void SwapfToW() {
    Swapf<Dest::W>();
}
void SwapfToF() {
    Swapf<Dest::F>();
}

}  // namespace sim
