// Instruction handlers SUBLW, SUBWF and SWAPF.
#pragma once

namespace sim {

void Sublw();
void SubwfToW();
void SubwfToF();
void SwapfToW();
void SwapfToF();

}  // namespace sim
