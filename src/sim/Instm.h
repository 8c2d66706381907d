// Instruction handlers MOVLW, MOVF, MOVWF and NOP.
#pragma once

namespace sim {

void Movlw();
void MovfToW();
void MovfToF();
void Movwf();
void Nop();

}  // namespace sim
