// Configure > Environment Options.
#include "shell/Main.h"

void TMainForm::CfgEnviOptionsClick() {}
