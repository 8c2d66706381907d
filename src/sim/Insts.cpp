// SPDX-License-Identifier: GPL-3.0-or-later
// SUBLW, SUBWF and SWAPF handlers.
#include "sim/Insts.h"

namespace sim {

void Sublw() {
    op::Sublw(PicState, CurrentWord());
}
void SubwfToW() {
    op::Subwf<Dest::W>(PicState, CurrentWord());
}
void SubwfToF() {
    op::Subwf<Dest::F>(PicState, CurrentWord());
}
void SwapfToW() {
    op::Swapf<Dest::W>(PicState, CurrentWord());
}
void SwapfToF() {
    op::Swapf<Dest::F>(PicState, CurrentWord());
}

}  // namespace sim
