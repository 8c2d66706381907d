// SPDX-License-Identifier: GPL-3.0-or-later
// The rows of the registers window.
#include "gpsim/RegisterRows.h"

#include <QRegularExpression>

#include <cmath>

namespace {

QString Byte(int value) {
    if (value < 0)
        return "--";
    return QString("0x%1 (%2)").arg(value, 2, 16, QChar('0')).arg(value).toUpper().replace("0X", "0x");
}

QString StatusText(int status) {
    auto bit = [status](int mask) { return status >= 0 && (status & mask) ? 1 : 0; };
    return QString("0x%1  C=%2 DC=%3 Z=%4")
        .arg(status & 0xFF, 2, 16, QChar('0'))
        .arg(bit(0x01))
        .arg(bit(0x02))
        .arg(bit(0x04));
}

QString ClockText(double hz) {
    if (hz >= 1e6)
        return QString::number(hz / 1e6) + " MHz";
    if (hz >= 1e3)
        return QString::number(hz / 1e3) + " kHz";
    return QString::number(hz) + " Hz";
}

}  // namespace

std::vector<SfrRow> SfrRows(const std::vector<SpecialRegister>& registers, const SimStop& now, const SimStop* before) {
    auto valueAt = [](const SimStop& stop, uint32_t address) {
        return address < stop.memory.size() ? stop.memory[address] : -1;
    };
    std::vector<SfrRow> rows;
    for (const SpecialRegister& reg : registers) {
        int value = valueAt(now, reg.address);
        if (value < 0)
            continue;  // not a register of the part gpsim runs (a stand-in may lack it)
        SfrRow row;
        row.address = reg.address;
        row.name = QString::fromStdString(reg.name);
        row.hex = QString("0x%1").arg(value, 2, 16, QChar('0')).toUpper().replace("0X", "0x");
        row.decimal = QString::number(value);
        row.binary = QString("%1").arg(value, 8, 2, QChar('0'));
        row.bits = QString::fromStdString(BitsText(reg, value));
        row.changed = before && valueAt(*before, reg.address) != value;
        rows.push_back(std::move(row));
    }
    return rows;
}

QString ElapsedText(double seconds) {
    struct Unit {
        double scale;
        const char* name;
    };
    constexpr Unit kUnits[] = {{1, "s"}, {1e3, "ms"}, {1e6, "µs"}, {1e9, "ns"}};
    for (const Unit& unit : kUnits)
        if (seconds * unit.scale >= 1 || unit.scale == 1e9)
            return QString::number(seconds * unit.scale, 'f', 9).remove(QRegularExpression("\\.?0+$")) + " " +
                   QString::fromUtf8(unit.name);
    return {};
}

std::vector<RegisterRow> RegisterRows(const SimStop& now, const SimStop* before,
                                      const std::vector<CodSymbol>& registers) {
    std::vector<RegisterRow> rows;
    auto add = [&rows](QString name, QString address, QString value, bool changed) {
        rows.push_back({std::move(name), std::move(address), std::move(value), changed});
    };
    add("W", {}, Byte(now.W), before && before->W != now.W);
    add("STATUS", "0x03", StatusText(now.status), before && before->status != now.status);
    add("PC", {}, QString("0x%1").arg(now.pc, 4, 16, QChar('0')), false);
    add("Stack depth", {}, now.stackDepth ? QString::number(*now.stackDepth) : QString("unknown after a run"),
        before && before->stackDepth != now.stackDepth);
    add("Cycles", {}, QString::number(now.cycles), false);
    QString time = ElapsedText(now.seconds());
    add("Time", {}, now.clockHz > 0 ? time + " at " + ClockText(now.clockHz) : QString("no clock known"),
        false);
    // the stopwatch times what lies between two stops, a delay loop between two breakpoints say
    QString lap = QString::number(now.stopwatch) + (now.stopwatch == 1 ? " cycle" : " cycles");
    if (now.clockHz > 0)
        lap += ", " + ElapsedText(double(now.stopwatch) * 4.0 / now.clockHz);
    add("Stopwatch", {}, lap, false);
    auto valueAt = [](const SimStop& stop, uint32_t address) {
        return address < stop.memory.size() ? stop.memory[address] : -1;
    };
    for (const CodSymbol& symbol : registers) {
        int value = valueAt(now, symbol.value);
        add(QString::fromStdString(symbol.name), QString("0x%1").arg(symbol.value, 2, 16, QChar('0')),
            Byte(value), before && valueAt(*before, symbol.value) != value);
    }
    return rows;
}
