// SPDX-License-Identifier: GPL-3.0-or-later
// The user's breakpoints as the Breakpoints window lists them and the project keeps them: on source lines
// (stopping at every hit, or from the Nth on) and on registers (written, read, or written with a value);
// each can be switched off without being forgotten.
#pragma once

#include "gpsim/SimSession.h"

#include <QString>

#include <optional>
#include <utility>

struct TLineBreakpoint {
    SourceLine line;   // a full path and a line from 1
    int fromHit = 0;   // stops from this hit on; 0 or 1: at every hit
    bool enabled = true;
    bool operator==(const TLineBreakpoint&) const = default;
};

struct TRegisterBreakpoint {
    using Kind = SimSession::RegisterBreak::Kind;
    Kind kind = Kind::Write;
    QString name;   // a register of the program or the part by name, or an address ("0x0C")
    int value = 0;  // for Kind::Equals
    bool enabled = true;
    bool operator==(const TRegisterBreakpoint&) const = default;
};

// "every hit", "from hit 3"; "written", "read", "written as 0x05".
QString ConditionText(const TLineBreakpoint& breakpoint);
QString ConditionText(const TRegisterBreakpoint& breakpoint);

// As the project file keeps a register breakpoint: "write,Count", "read,0x0C", "equals,PORTB,0x05";
// a trailing ",off" when switched off. None for a text that is no such entry.
QString RegisterBreakpointText(const TRegisterBreakpoint& breakpoint);
std::optional<TRegisterBreakpoint> RegisterBreakpointFromText(const QString& text);
