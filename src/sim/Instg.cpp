// GOTO handler.
#include "sim/Instg.h"

#include "sim/InstFrame.h"

namespace sim {

void Goto() {
    CountCycles(2);
    PicState.PC = JumpTarget();
}

}  // namespace sim
