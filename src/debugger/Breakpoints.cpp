// SPDX-License-Identifier: GPL-3.0-or-later
// Breakpoints as words: their conditions for the Breakpoints window, their entries in the project file.
#include "debugger/Breakpoints.h"

#include <QStringList>

#include <algorithm>
#include <array>

namespace {

using Kind = TRegisterBreakpoint::Kind;

struct KindWord {
    Kind kind;
    const char* word;
};
constexpr std::array<KindWord, 3> kKindWords = {{{Kind::Write, "write"}, {Kind::Read, "read"}, {Kind::Equals, "equals"}}};

QString Byte(int value) {
    return QString("0x%1").arg(value & 0xFF, 2, 16, QChar('0')).toUpper().replace("0X", "0x");
}

// A register's name is a word of letters, digits and underscores, or an address: nothing that would end
// the entry or reach gpsim as a second command.
bool IsRegisterName(const QString& name) {
    return !name.isEmpty() && name.size() <= 64 &&
           std::all_of(name.begin(), name.end(), [](QChar c) { return c.isLetterOrNumber() || c == '_'; });
}

}  // namespace

QString ConditionText(const TLineBreakpoint& breakpoint) {
    return breakpoint.fromHit > 1 ? QString("from hit %1").arg(breakpoint.fromHit) : QString("every hit");
}

QString ConditionText(const TRegisterBreakpoint& breakpoint) {
    switch (breakpoint.kind) {
        case Kind::Read:
            return "read";
        case Kind::Equals:
            return "written as " + Byte(breakpoint.value);
        case Kind::Write:
            break;
    }
    return "written";
}

QString RegisterBreakpointText(const TRegisterBreakpoint& breakpoint) {
    QString text;
    for (const KindWord& kind : kKindWords)
        if (kind.kind == breakpoint.kind)
            text = kind.word;
    text += "," + breakpoint.name;
    if (breakpoint.kind == Kind::Equals)
        text += "," + Byte(breakpoint.value);
    if (!breakpoint.enabled)
        text += ",off";
    return text;
}

std::optional<TRegisterBreakpoint> RegisterBreakpointFromText(const QString& text) {
    QStringList fields = text.trimmed().split(',');
    if (fields.size() < 2)
        return std::nullopt;
    TRegisterBreakpoint breakpoint;
    // "off" after the entry's own fields: a register may itself be named off ("write,off")
    bool equals = fields[0].trimmed() == "equals";
    if (fields.size() > (equals ? 3 : 2) && fields.last().trimmed() == "off") {
        breakpoint.enabled = false;
        fields.removeLast();
    }
    const KindWord* kind = std::find_if(kKindWords.begin(), kKindWords.end(),
                                        [&](const KindWord& k) { return fields[0].trimmed() == k.word; });
    if (kind == kKindWords.end())
        return std::nullopt;
    breakpoint.kind = kind->kind;
    breakpoint.name = fields[1].trimmed();
    if (!IsRegisterName(breakpoint.name))
        return std::nullopt;
    if (breakpoint.kind == Kind::Equals) {
        if (fields.size() != 3)
            return std::nullopt;
        bool ok = false;
        int value = fields[2].trimmed().toInt(&ok, 0);
        if (!ok || value < 0 || value > 0xFF)
            return std::nullopt;
        breakpoint.value = value;
    } else if (fields.size() != 2) {
        return std::nullopt;
    }
    return breakpoint;
}
