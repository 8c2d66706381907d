// Instruction handlers ADDLW, ADDWF and ANDLW, ANDWF.
#pragma once

namespace sim {

void Addlw();
void AddwfToW();
void AddwfToF();
void Andlw();
void AndwfToW();
void AndwfToF();

}  // namespace sim
