// SPDX-License-Identifier: GPL-3.0-or-later
// INCF, INCFSZ, IORLW and IORWF handlers.
#include "sim/Insti.h"

namespace sim {

void IncfToW() {
    op::Incf<Dest::W>(PicState, CurrentWord());
}
void IncfToF() {
    op::Incf<Dest::F>(PicState, CurrentWord());
}
void IncfszToW() {
    op::Incfsz<Dest::W>(PicState, CurrentWord());
}
void IncfszToF() {
    op::Incfsz<Dest::F>(PicState, CurrentWord());
}
void Iorlw() {
    op::Iorlw(PicState, CurrentWord());
}
void IorwfToW() {
    op::Iorwf<Dest::W>(PicState, CurrentWord());
}
void IorwfToF() {
    op::Iorwf<Dest::F>(PicState, CurrentWord());
}

}  // namespace sim
