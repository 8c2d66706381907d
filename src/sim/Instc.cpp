// SPDX-License-Identifier: GPL-3.0-or-later
// CALL, CLRF and COMF handlers.
#include "sim/Instc.h"

namespace sim {

void Call() {
    op::Call(PicState, CurrentWord());
}
void Clrf() {
    op::Clrf(PicState, CurrentWord());
}
void ComfToW() {
    op::Comf<Dest::W>(PicState, CurrentWord());
}
void ComfToF() {
    op::Comf<Dest::F>(PicState, CurrentWord());
}

}  // namespace sim
