// SPDX-License-Identifier: GPL-3.0-or-later
// DECF and DECFSZ handlers.
#include "sim/Instd.h"

namespace sim {

void DecfToW() {
    op::Decf<Dest::W>(PicState, CurrentWord());
}
void DecfToF() {
    op::Decf<Dest::F>(PicState, CurrentWord());
}
void DecfszToW() {
    op::Decfsz<Dest::W>(PicState, CurrentWord());
}
void DecfszToF() {
    op::Decfsz<Dest::F>(PicState, CurrentWord());
}

}  // namespace sim
