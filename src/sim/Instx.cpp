// SPDX-License-Identifier: GPL-3.0-or-later
// XORLW and XORWF handlers.
#include "sim/Instx.h"

namespace sim {

void Xorlw() {
    op::Xorlw(PicState, CurrentWord());
}
void XorwfToW() {
    op::Xorwf<Dest::W>(PicState, CurrentWord());
}
void XorwfToF() {
    op::Xorwf<Dest::F>(PicState, CurrentWord());
}

}  // namespace sim
