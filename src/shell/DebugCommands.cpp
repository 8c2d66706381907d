// The Debug commands of the main window: they drive the simulator and show its state.
#include "shell/Main.h"

void TMainForm::DebugStartClick() {}
void TMainForm::DebugTraceIntoClick() {}
