// Instruction handlers RETLW, RETURN, RLF and RRF.
#pragma once

namespace sim {

void Retlw();
void Return();
void RlfToW();
void RlfToF();
void RrfToW();
void RrfToF();

}  // namespace sim
