// SPDX-License-Identifier: GPL-3.0-or-later
// MOVLW, MOVF, MOVWF and NOP handlers.
#include "sim/Instm.h"

namespace sim {

void Movlw() {
    op::Movlw(PicState, CurrentWord());
}
void MovfToW() {
    op::MovfToW(PicState, CurrentWord());
}
void MovfToF() {
    op::MovfToF(PicState, CurrentWord());
}
void Movwf() {
    op::Movwf(PicState, CurrentWord());
}
void Nop() {
    op::Nop(PicState, CurrentWord());
}

}  // namespace sim
