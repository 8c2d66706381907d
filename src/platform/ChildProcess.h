// SPDX-License-Identifier: GPL-3.0-or-later
// Child processes that do not outlive the program.
#pragma once

// For QProcess::setChildProcessModifier: the child is killed when the program that started it ends in any
// way (a crash or a kill included). Without it, gpsim in its interactive mode keeps running, and spins,
// once the pipe to a killed Korvex is gone. Runs in the child between fork and exec: only async-signal-safe
// calls.
void EndWithParent();
