// DECF and DECFSZ handlers.
#include "sim/Instd.h"

#include "sim/InstFrame.h"

namespace sim {

namespace {

template <Dest D>
void Decf() {
    CountCycles(1);
    const uint8_t f = FileOperand();
    const uint8_t r = static_cast<uint8_t>(ReadReg(f) - 1);
    SetZ(r);
    StoreResult<D>(f, r);
    NextWord();
}

// Changes no flag; the result is stored before the skip.
template <Dest D>
void Decfsz() {
    const uint8_t f = FileOperand();
    const uint8_t r = static_cast<uint8_t>(ReadReg(f) - 1);
    StoreResult<D>(f, r);
    SkipWhenZero(r);
}

}  // namespace

void DecfToW() {
    Decf<Dest::W>();
}
void DecfToF() {
    Decf<Dest::F>();
}
void DecfszToW() {
    Decfsz<Dest::W>();
}
void DecfszToF() {
    Decfsz<Dest::F>();
}

}  // namespace sim
