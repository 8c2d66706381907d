// Instruction handlers INCF, INCFSZ, IORLW and IORWF.
#pragma once

namespace sim {

void IncfToW();
void IncfToF();
void IncfszToW();
void IncfszToF();
void Iorlw();
void IorwfToW();
void IorwfToF();

}  // namespace sim
