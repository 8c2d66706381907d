// SPDX-License-Identifier: GPL-3.0-or-later
// GOTO handler.
#include "sim/Instg.h"

namespace sim {

void Goto() {
    op::Goto(PicState, CurrentWord());
}

}  // namespace sim
