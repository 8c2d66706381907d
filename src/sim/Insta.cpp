// SPDX-License-Identifier: GPL-3.0-or-later
// ADD and AND handlers.
#include "sim/Insta.h"

namespace sim {

void Addlw() {
    op::Addlw(PicState, CurrentWord());
}
void AddwfToW() {
    op::Addwf<Dest::W>(PicState, CurrentWord());
}
void AddwfToF() {
    op::Addwf<Dest::F>(PicState, CurrentWord());
}
void Andlw() {
    op::Andlw(PicState, CurrentWord());
}
void AndwfToW() {
    op::Andwf<Dest::W>(PicState, CurrentWord());
}
void AndwfToF() {
    op::Andwf<Dest::F>(PicState, CurrentWord());
}

}  // namespace sim
