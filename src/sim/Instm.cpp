// MOVLW, MOVF, MOVWF and NOP handlers.
#include "sim/Instm.h"

#include "sim/InstFrame.h"

namespace sim {

// Bits 9..8 of the word are ignored: all four forms load the low byte.
void Movlw() {
    CountCycles(1);
    PicState.W = Literal8();
    NextWord();
}

void MovfToW() {
    CountCycles(1);
    PicState.W = ReadReg(FileOperand());
    SetZ(PicState.W);
    NextWord();
}

// A test of the register: it is read for Z and not written back.
void MovfToF() {
    CountCycles(1);
    SetZ(ReadReg(FileOperand()));
    NextWord();
}

void Movwf() {
    CountCycles(1);
    WriteReg(FileOperand(), PicState.W);
    NextWord();
}

void Nop() {
    CountCycles(1);
    NextWord();
}

}  // namespace sim
