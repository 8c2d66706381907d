// SPDX-License-Identifier: GPL-3.0-or-later
// Configure > Environment Options.
#include "shell/Main.h"

#include "editor/Envi.h"
#include "platform/Prompter.h"
#include "shell/Idefunction.h"
#include "shell/Services.h"

void TMainForm::CfgEnviOptionsClick() {
    if (!EnviDlg)
        return;
    EnviDlg->EnviShow(services().settings, services().prompter);
    services().prompter.showModal(*EnviDlg);
}
