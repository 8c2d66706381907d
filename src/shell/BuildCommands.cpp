// The build, the message navigation and the assembler setting, as main-window commands.
#include "shell/Main.h"

#include "assembler/DlgEXE.h"
#include "platform/Prompter.h"
#include "shell/Idefunction.h"
#include "shell/Services.h"

void TMainForm::ProjectBuildClick() {}
void TMainForm::SearchNextErrorClick() {}

void TMainForm::ConfigureEXEClick() {
    EXEDlg->FormShow(services().settings, services().prompter);
    services().prompter.showModal(*EXEDlg);
}
