// INCF, INCFSZ, IORLW and IORWF handlers.
#include "sim/Insti.h"

#include "sim/InstFrame.h"

namespace sim {

namespace {

template <Dest D>
void Incf() {
    CountCycles(1);
    const uint8_t f = FileOperand();
    const uint8_t r = static_cast<uint8_t>(ReadReg(f) + 1);
    SetZ(r);
    StoreResult<D>(f, r);
    NextWord();
}

// Changes no flag; the result is stored before the skip.
template <Dest D>
void Incfsz() {
    const uint8_t f = FileOperand();
    const uint8_t r = static_cast<uint8_t>(ReadReg(f) + 1);
    StoreResult<D>(f, r);
    SkipWhenZero(r);
}

template <Dest D>
void Iorwf() {
    CountCycles(1);
    const uint8_t f = FileOperand();
    const uint8_t r = PicState.W | ReadReg(f);
    SetZ(r);
    StoreResult<D>(f, r);
    NextWord();
}

}  // namespace

void IncfToW() {
    Incf<Dest::W>();
}
void IncfToF() {
    Incf<Dest::F>();
}
void IncfszToW() {
    Incfsz<Dest::W>();
}
void IncfszToF() {
    Incfsz<Dest::F>();
}

void Iorlw() {
    CountCycles(1);
    PicState.W |= Literal8();
    SetZ(PicState.W);
    NextWord();
}

void IorwfToW() {
    Iorwf<Dest::W>();
}
void IorwfToF() {
    Iorwf<Dest::F>();
}

}  // namespace sim
