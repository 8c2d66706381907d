// SPDX-License-Identifier: GPL-3.0-or-later
// The gpasm front end that comes with the program, and its adoption as the assembler on a first run.
#pragma once

#include <QString>

class SettingsStore;

// Where the front end lies relative to the program's folder: in an installed tree (bin/korvex beside
// lib/korvex/MPASMWIN.EXE), then in the build tree (src/app/korvex beside tools/mpasmwin/MPASMWIN.EXE).
inline constexpr const char* kBundledAssemblerPlaces[] = {"../lib/korvex/MPASMWIN.EXE",
                                                          "../../tools/mpasmwin/MPASMWIN.EXE"};

// The first of those places that holds an executable file, as a clean absolute path; empty when none does.
QString BundledAssembler(const QString& programDir);

// When no assembler is configured (the setting is missing or empty) and the program's folder has the front
// end beside it, stores that as the assembler; true when it did. A configured assembler stays, even one
// whose file has gone. A failed write is left to the store's saveError().
bool AdoptBundledAssembler(SettingsStore& settings, const QString& programDir);
