// SPDX-License-Identifier: GPL-3.0-or-later
// The whole-chip views' rows and tooltips.
#include "gpsim/ChipViews.h"

#include <algorithm>

namespace {

constexpr uint32_t kFileRegisters = 0x200;  // four banks of 128

int ValueAt(const std::vector<int>& memory, uint32_t address) {
    return address < memory.size() ? memory[address] : -1;
}

QString HexByte(int value) {
    return QString("0x%1").arg(value, 2, 16, QChar('0')).toUpper().replace("0X", "0x");
}

QString HexAddress(uint32_t address, int digits) {
    return QString("0x%1").arg(address, digits, 16, QChar('0')).toUpper().replace("0X", "0x");
}

QString Binary(int value) {
    return "0b" + QString("%1").arg(value, 8, 2, QChar('0'));
}

// A name as the program spells it, else in any letter case (the header's are upper case).
template <typename Row, typename NameOf>
const Row* FindByName(const std::vector<Row>& rows, const QString& name, NameOf nameOf) {
    for (const Row& row : rows)
        if (QString::fromStdString(nameOf(row)) == name)
            return &row;
    for (const Row& row : rows)
        if (QString::fromStdString(nameOf(row)).compare(name, Qt::CaseInsensitive) == 0)
            return &row;
    return nullptr;
}

const SpecialRegister* SpecialByAddress(const ChipNames& names, uint32_t address) {
    for (const SpecialRegister& reg : names.specialRegisters)
        if (reg.address == address)
            return &reg;
    return nullptr;
}

QString RegisterTip(const QString& name, uint32_t address, const SimStop& stop, const ChipNames& names) {
    int value = ValueAt(stop.memory, address);
    if (value < 0)
        return QString("%1 (%2): no register of the running part").arg(name, HexAddress(address, 2));
    QString tip = QString("%1 (%2) = %3 = %4 = %5")
                      .arg(name, HexAddress(address, 2), HexByte(value), QString::number(value), Binary(value));
    if (const SpecialRegister* reg = SpecialByAddress(names, address); reg)
        if (std::string bits = BitsText(*reg, value); !bits.empty())
            tip += "\n" + QString::fromStdString(bits);
    return tip;
}

// "RP0: bit 5 of STATUS = 1", one line for each register with a bit of that name.
QString BitTip(const QString& word, const SimStop& stop, const ChipNames& names) {
    QStringList lines;
    // "NOT_TO" in the text is "/TO" in the header's bits
    QString negated = word.startsWith("NOT_", Qt::CaseInsensitive) ? "/" + word.mid(4) : QString();
    for (const SpecialRegister& reg : names.specialRegisters)
        for (int bit = 0; bit < 8; ++bit) {
            QString name = QString::fromStdString(reg.bits[size_t(bit)]);
            if (name.isEmpty() || (name.compare(word, Qt::CaseInsensitive) != 0 &&
                                   (negated.isEmpty() || name.compare(negated, Qt::CaseInsensitive) != 0)))
                continue;
            int value = ValueAt(stop.memory, reg.address);
            lines << QString("%1: bit %2 of %3 = %4")
                         .arg(word)
                         .arg(bit)
                         .arg(QString::fromStdString(reg.name))
                         .arg(value < 0 ? QString("--") : QString::number((value >> bit) & 1));
        }
    return lines.join("\n");
}

}  // namespace

ChipNames NamesOf(const SimSession& session) {
    static const std::vector<CodSymbol> kNone;
    return {session.programRegisters(), session.specialRegisters(), session.cod() ? session.cod()->symbols : kNone};
}

std::vector<MemoryGridRow> MemoryGridRows(const std::vector<int>& now, const std::vector<int>* before,
                                          uint32_t bankSize, const std::vector<CodSymbol>& names) {
    std::vector<MemoryGridRow> rows;
    for (uint32_t address = 0; address < now.size(); address += 16) {
        MemoryGridRow row;
        row.address = address;
        bool any = false;
        for (uint32_t cell = 0; cell < 16; ++cell) {
            int value = ValueAt(now, address + cell);
            row.values[cell] = value;
            row.changed[cell] = before && value >= 0 && ValueAt(*before, address + cell) != value;
            any = any || value >= 0;
        }
        if (!any)
            continue;
        if (bankSize > 0 && address % bankSize == 0)
            row.bank = QString("Bank %1").arg(address / bankSize);
        QStringList cellNames;
        for (const CodSymbol& symbol : names)
            if (symbol.value >= address && symbol.value < address + 16)
                cellNames << QString("%1 %2").arg(symbol.value, 2, 16, QChar('0')).arg(QString::fromStdString(symbol.name));
        row.names = cellNames.join("  ");
        rows.push_back(std::move(row));
    }
    return rows;
}

QString CellName(uint32_t address, const ChipNames& names) {
    QStringList all;
    for (const CodSymbol& symbol : names.registers)
        if (symbol.value == address)
            all << QString::fromStdString(symbol.name);
    if (const SpecialRegister* reg = SpecialByAddress(names, address); reg)
        all << QString::fromStdString(reg->name);
    return all.join(", ");
}

WatchFormat WatchFormatFromText(const std::string& text) {
    if (text == "dec")
        return WatchFormat::Decimal;
    if (text == "bin")
        return WatchFormat::Binary;
    if (text == "char")
        return WatchFormat::Char;
    return WatchFormat::Hex;
}

std::string WatchFormatText(WatchFormat format) {
    switch (format) {
    case WatchFormat::Decimal: return "dec";
    case WatchFormat::Binary: return "bin";
    case WatchFormat::Char: return "char";
    case WatchFormat::Hex: break;
    }
    return "hex";
}

QString FormatByte(int value, WatchFormat format) {
    if (value < 0)
        return "--";
    switch (format) {
    case WatchFormat::Decimal: return QString::number(value);
    case WatchFormat::Binary: return Binary(value);
    case WatchFormat::Char: return "'" + QString(value >= 0x20 && value < 0x7F ? QChar(value) : QChar('.')) + "'";
    case WatchFormat::Hex: break;
    }
    return HexByte(value);
}

std::optional<uint32_t> WatchAddress(const QString& symbol, const ChipNames& names) {
    QString text = symbol.trimmed();
    if (const CodSymbol* reg = FindByName(names.registers, text, [](const CodSymbol& s) { return s.name; }))
        return reg->value;
    if (const SpecialRegister* reg =
            FindByName(names.specialRegisters, text, [](const SpecialRegister& s) { return s.name; }))
        return reg->address;
    bool ok = false;
    uint32_t number = text.startsWith("0x", Qt::CaseInsensitive) ? text.mid(2).toUInt(&ok, 16) : text.toUInt(&ok, 10);
    if (ok && number < kFileRegisters)
        return number;
    return std::nullopt;
}

std::vector<WatchRow> WatchRows(const std::vector<Watch>& watches, const SimStop* now, const SimStop* before,
                                const ChipNames& names) {
    std::vector<WatchRow> rows;
    for (const Watch& watch : watches) {
        WatchRow row;
        row.symbol = watch.symbol;
        std::optional<uint32_t> address = WatchAddress(watch.symbol, names);
        if (!address) {
            row.value = names.symbols.empty() && names.specialRegisters.empty() ? "not stopped" : "unknown name";
            rows.push_back(std::move(row));
            continue;
        }
        row.address = HexAddress(*address, 2);
        if (!now) {
            row.value = "not stopped";
            rows.push_back(std::move(row));
            continue;
        }
        int value = ValueAt(now->memory, *address);
        row.value = FormatByte(value, watch.format);
        if (const SpecialRegister* reg = SpecialByAddress(names, *address); reg && value >= 0)
            row.bits = QString::fromStdString(BitsText(*reg, value));
        row.changed = before && value >= 0 && ValueAt(before->memory, *address) != value;
        rows.push_back(std::move(row));
    }
    return rows;
}

QString ValueTip(const QString& word, const SimStop& stop, const ChipNames& names) {
    if (word.isEmpty())
        return {};
    if (word.compare("W", Qt::CaseInsensitive) == 0)
        return QString("W = %1 = %2 = %3").arg(HexByte(stop.W), QString::number(stop.W), Binary(stop.W));
    if (const CodSymbol* reg = FindByName(names.registers, word, [](const CodSymbol& s) { return s.name; }))
        return RegisterTip(QString::fromStdString(reg->name), reg->value, stop, names);
    if (const SpecialRegister* reg =
            FindByName(names.specialRegisters, word, [](const SpecialRegister& s) { return s.name; }))
        return RegisterTip(QString::fromStdString(reg->name), reg->address, stop, names);
    if (QString bits = BitTip(word, stop, names); !bits.isEmpty())
        return bits;
    if (const CodSymbol* symbol = FindByName(names.symbols, word, [](const CodSymbol& s) { return s.name; })) {
        QString name = QString::fromStdString(symbol->name);
        if (!symbol->constant)
            return QString("%1: program address %2").arg(name, HexAddress(symbol->value, 4));
        return QString("%1 = %2 = %3").arg(name, HexAddress(symbol->value, 2)).arg(symbol->value);
    }
    return {};
}

std::vector<PortRow> PortRows(const SimStop& stop, const std::vector<SpecialRegister>& registers) {
    std::vector<PortRow> rows;
    for (const SpecialRegister& port : registers) {
        QString name = QString::fromStdString(port.name);
        bool gpio = name == "GPIO";
        if (!gpio && !(name.size() == 5 && name.startsWith("PORT")))
            continue;
        QString trisName = gpio ? QString("TRISIO") : "TRIS" + name.mid(4);
        const SpecialRegister* tris = nullptr;
        for (const SpecialRegister& other : registers)
            if (QString::fromStdString(other.name) == trisName)
                tris = &other;
        int level = ValueAt(stop.memory, port.address);
        int direction = tris ? ValueAt(stop.memory, tris->address) : 0xFF;
        if (level < 0 || direction < 0)
            continue;
        PortRow row{name, {}};
        bool named = std::any_of(port.bits.begin(), port.bits.end(), [](const std::string& bit) { return !bit.empty(); });
        for (int bit = 7; bit >= 0; --bit) {
            QString pin = QString::fromStdString(port.bits[size_t(bit)]);
            if (pin.isEmpty()) {
                if (named)
                    continue;  // the part has no such pin
                pin = gpio ? QString("GP%1").arg(bit) : QString("R%1%2").arg(name.mid(4)).arg(bit);  // as data sheets name them
            }
            row.pins.push_back({pin, bit, !((direction >> bit) & 1), bool((level >> bit) & 1)});
        }
        rows.push_back(std::move(row));
    }
    return rows;
}
