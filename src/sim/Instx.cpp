// XORLW and XORWF handlers.
#include "sim/Instx.h"

#include "sim/InstFrame.h"

namespace sim {

namespace {

template <Dest D>
void Xorwf() {
    CountCycles(1);
    const uint8_t f = FileOperand();
    const uint8_t r = PicState.W ^ ReadReg(f);
    SetZ(r);
    StoreResult<D>(f, r);
    NextWord();
}

}  // namespace

void Xorlw() {
    CountCycles(1);
    PicState.W ^= Literal8();
    SetZ(PicState.W);
    NextWord();
}

void XorwfToW() {
    Xorwf<Dest::W>();
}
void XorwfToF() {
    Xorwf<Dest::F>();
}

}  // namespace sim
