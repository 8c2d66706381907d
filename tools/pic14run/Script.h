// SPDX-License-Identifier: GPL-3.0-or-later
// pic14run's script reader: runs one line of a script against the simulator.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Runs one command line ("reset", "prog 0 3002", "step 5" ...); the reason when the line is wrong.
std::optional<std::string> RunLine(std::string_view line);
