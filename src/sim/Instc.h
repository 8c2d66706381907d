// Instruction handlers CALL, CLRF and COMF.
#pragma once

namespace sim {

void Call();
void Clrf();
void ComfToW();
void ComfToF();

}  // namespace sim
