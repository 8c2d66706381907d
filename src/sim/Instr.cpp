// SPDX-License-Identifier: GPL-3.0-or-later
// RETLW, RETURN, RLF and RRF handlers.
#include "sim/Instr.h"

namespace sim {

void Retlw() {
    op::Retlw(PicState, CurrentWord());
}
void Return() {
    op::Return(PicState, CurrentWord());
}
void RlfToW() {
    op::Rlf<Dest::W>(PicState, CurrentWord());
}
void RlfToF() {
    op::Rlf<Dest::F>(PicState, CurrentWord());
}
void RrfToW() {
    op::Rrf<Dest::W>(PicState, CurrentWord());
}
void RrfToF() {
    op::Rrf<Dest::F>(PicState, CurrentWord());
}

}  // namespace sim
