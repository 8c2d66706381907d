// ADD and AND handlers.
#include "sim/Insta.h"

#include "sim/InstFrame.h"

namespace sim {

namespace {

// Sets C, DC and Z of a + b and returns the 8-bit sum.
uint8_t Add(uint8_t a, uint8_t b) {
    const unsigned sum = a + b;
    const uint8_t r = static_cast<uint8_t>(sum);
    const uint8_t carry = sum > 0xFF ? kC : 0;
    const uint8_t digitCarry = (a & 0x0F) + (b & 0x0F) > 0x0F ? kDC : 0;
    SetFlags(kC | kDC | kZ, carry | digitCarry | ZeroFlag(r));
    return r;
}

template <Dest D>
void Addwf() {
    CountCycles(1);
    const uint8_t f = FileOperand();
    StoreResult<D>(f, Add(PicState.W, ReadReg(f)));
    NextWord();
}

template <Dest D>
void Andwf() {
    CountCycles(1);
    const uint8_t f = FileOperand();
    const uint8_t r = PicState.W & ReadReg(f);
    SetZ(r);
    StoreResult<D>(f, r);
    NextWord();
}

}  // namespace

void Addlw() {
    CountCycles(1);
    PicState.W = Add(PicState.W, Literal8());
    NextWord();
}

void AddwfToW() {
    Addwf<Dest::W>();
}
void AddwfToF() {
    Addwf<Dest::F>();
}

void Andlw() {
    CountCycles(1);
    PicState.W &= Literal8();
    SetZ(PicState.W);
    NextWord();
}

void AndwfToW() {
    Andwf<Dest::W>();
}
void AndwfToF() {
    Andwf<Dest::F>();
}

}  // namespace sim
