// Instruction handlers DECF and DECFSZ.
#pragma once

namespace sim {

void DecfToW();
void DecfToF();
void DecfszToW();
void DecfszToF();

}  // namespace sim
