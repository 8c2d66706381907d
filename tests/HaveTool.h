// SPDX-License-Identifier: GPL-3.0-or-later
// Whether a program the tests run (gpasm, gpsim) is installed; scripts/bootstrap installs both.
#pragma once

#include <QStandardPaths>

inline bool HaveTool(const char* name) {
    return !QStandardPaths::findExecutable(name).isEmpty();
}
