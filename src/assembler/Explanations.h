// SPDX-License-Identifier: GPL-3.0-or-later
// The long explanations of the assembler's errors, warnings and messages, keyed by kind and number.
#pragma once

#include "assembler/ErrorLine.h"

#include <string>
#include <string_view>

// 57 errors (101-157), 26 warnings (201-226), 13 messages (301-310, 312-314).
inline constexpr int kExplanationCount = 96;

// The text for a kind and number, or the empty text when there is none (Message 311, Error 158, 1101).
std::string_view MessageExplanations(MessageKind kind, int number);

// The explanation of one error-file line: by its first character ("E", "W" or "M") and the number in its
// brackets; empty for any other line. The caller shows it only for projects of the MPASM format.
std::string ExplainMessage(std::string_view line);
