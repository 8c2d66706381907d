// Instruction handler GOTO.
#pragma once

namespace sim {

void Goto();

}  // namespace sim
