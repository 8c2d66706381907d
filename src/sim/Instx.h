// Instruction handlers XORLW and XORWF.
#pragma once

namespace sim {

void Xorlw();
void XorwfToW();
void XorwfToF();

}  // namespace sim
