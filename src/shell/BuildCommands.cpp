// The build, the message navigation and the assembler setting, as main-window commands.
#include "shell/Main.h"

void TMainForm::ProjectBuildClick() {}
void TMainForm::SearchNextErrorClick() {}
void TMainForm::ConfigureEXEClick() {}
