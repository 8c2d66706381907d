// SPDX-License-Identifier: GPL-3.0-or-later
// Child processes that do not outlive the program.
#include "platform/ChildProcess.h"

#include <sys/prctl.h>

#include <unistd.h>
#include <csignal>

void EndWithParent() {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    // the parent may have ended before the call took effect
    if (getppid() == 1)
        _exit(127);
}
