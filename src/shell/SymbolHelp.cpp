// SPDX-License-Identifier: GPL-3.0-or-later
// The texts of hover help: one table of the directives beside the instruction set's own table.
#include "shell/SymbolHelp.h"

#include "sim/InstructionSet.h"

#include <QFileInfo>

namespace {

struct DirectiveHelp {
    const char* name;
    const char* use;
};

// The common directives, as the assembler reads them.
constexpr DirectiveHelp kDirectives[] = {
    {"equ", "name EQU expression: gives the name a constant value."},
    {"set", "name SET expression: gives the name a value that a later SET may change."},
    {"constant", "CONSTANT name=expression[, ...]: constants, as EQU."},
    {"variable", "VARIABLE name[=expression][, ...]: assembly-time variables, as SET."},
    {"cblock", "CBLOCK [address]: the names up to ENDC get consecutive addresses (name:n takes n)."},
    {"endc", "ENDC: ends a CBLOCK."},
    {"org", "ORG address: the next instruction goes at this program address."},
    {"end", "END: the end of the program; nothing after it is read."},
    {"include", "#INCLUDE <file> or \"file\": reads another file here."},
    {"#include", "#INCLUDE <file> or \"file\": reads another file here."},
    {"#define", "#DEFINE name text: the name is replaced by the text wherever it stands."},
    {"#undefine", "#UNDEFINE name: forgets a #DEFINE."},
    {"macro", "name MACRO [parameters]: the lines up to ENDM are put in wherever the name is used."},
    {"endm", "ENDM: ends a macro's lines."},
    {"local", "LOCAL name[, ...]: names of a macro of its own for each use."},
    {"exitm", "EXITM: leaves a macro's expansion early."},
    {"banksel", "BANKSEL name: sets RP0 and RP1 for the bank of the register named."},
    {"pagesel", "PAGESEL label: sets PCLATH for the page of the label, before a CALL or GOTO."},
    {"__config", "__CONFIG value: the configuration word (oscillator, watchdog, code protection ...)."},
    {"list", "LIST p=part, r=radix, ...: the processor, the default radix and listing options."},
    {"processor", "PROCESSOR part: the processor the program is for."},
    {"radix", "RADIX hex|dec|oct: the radix of numbers written without one."},
    {"errorlevel", "ERRORLEVEL -n: messages and warnings of number n are not shown."},
    {"dt", "DT value[, ...]: a RETLW for each value (a table read with CALL)."},
    {"de", "DE value[, ...]: data for the data EEPROM (at ORG 0x2100)."},
    {"dw", "DW value[, ...]: words of program memory."},
    {"data", "DATA value[, ...]: words of program memory."},
    {"res", "RES n: reserves n words of memory."},
    {"fill", "FILL value, count: count words of program memory, each holding value (or an instruction)."},
    {"if", "IF expression: the lines up to ELSE or ENDIF count only when the expression is not 0."},
    {"ifdef", "IFDEF name: the lines up to ELSE or ENDIF count only when the name is defined."},
    {"ifndef", "IFNDEF name: the lines up to ELSE or ENDIF count only when the name is not defined."},
    {"else", "ELSE: the other branch of IF, IFDEF or IFNDEF."},
    {"endif", "ENDIF: ends IF, IFDEF or IFNDEF."},
    {"while", "WHILE expression: the lines up to ENDW repeat while the expression is not 0."},
    {"endw", "ENDW: ends WHILE."},
};

QString Place(const picsym::Location& where) {
    return QString("%1:%2").arg(QFileInfo(QString::fromStdString(where.file)).fileName()).arg(where.line + 1);
}

}  // namespace

QString ValueText(int64_t value) {
    QString text = QString("0x%1 = %2").arg(QString::number(qulonglong(value), 16).toUpper()).arg(value);
    if (value >= 0 && value <= 0xFFFF)
        text += " = 0b" + QString::number(value, 2).rightJustified(value > 0xFF ? 16 : 8, '0');
    return text;
}

QString KeywordHelp(const QString& word) {
    std::string folded = word.toLower().toStdString();
    if (const sim::Instruction* instruction = sim::FindMnemonic(folded)) {
        QString name = QString::fromUtf8(instruction->Mnemonic.data(), qsizetype(instruction->Mnemonic.size())).toUpper();
        QString operands = QString::fromUtf8(instruction->Operands.data(), qsizetype(instruction->Operands.size()));
        return QString("%1 %2\n%3\nCycles: %4. STATUS bits: %5.")
            .arg(name, operands,
                 QString::fromUtf8(instruction->Description.data(), qsizetype(instruction->Description.size())),
                 QString::fromStdString(sim::CyclesText(*instruction)),
                 QString::fromUtf8(instruction->StatusBits.data(), qsizetype(instruction->StatusBits.size())));
    }
    for (const DirectiveHelp& directive : kDirectives)
        if (folded == directive.name)
            return directive.use;
    return {};
}

QString SymbolHelp(const QString& word, const picsym::SymbolIndex& index, const std::vector<SpecialRegister>& registers) {
    QStringList lines;
    std::vector<picsym::Symbol> definitions = index.Definitions(word.toStdString());
    // a bit of a special function register, by the header's bit names
    for (const SpecialRegister& reg : registers)
        for (int bit = 0; bit < 8; ++bit)
            if (QString::fromStdString(reg.bits[size_t(bit)]).compare(word, Qt::CaseInsensitive) == 0)
                lines << QString("%1: bit %2 of %3").arg(word).arg(bit).arg(QString::fromStdString(reg.name));
    for (const picsym::Symbol& symbol : definitions) {
        QString kind = QString::fromUtf8(picsym::KindName(symbol.kind).data(), qsizetype(picsym::KindName(symbol.kind).size()));
        QString line = QString("%1: %2 at %3").arg(QString::fromStdString(symbol.name), kind, Place(symbol.where));
        if (symbol.value)
            line += ", " + ValueText(*symbol.value);
        else if (symbol.kind == picsym::Kind::Define || symbol.kind == picsym::Kind::Macro)
            line += symbol.text.empty() ? QString() : ": " + QString::fromStdString(symbol.text);
        lines << line;
        if (lines.size() >= 6)
            break;  // a name defined in many places: the first few say enough
    }
    return lines.join("\n");
}
