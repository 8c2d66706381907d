// SPDX-License-Identifier: GPL-3.0-or-later
// The explanation texts of the assembler's errors, warnings and messages, one table built at compile time.
#include "assembler/Explanations.h"

#include <array>

namespace {

struct Explanation {
    MessageKind kind;
    int number;
    std::string_view text;
};

constexpr MessageKind E = MessageKind::Error;
constexpr MessageKind W = MessageKind::Warning;
constexpr MessageKind M = MessageKind::Message;

constexpr std::array kExplanations = {
    Explanation{E, 101, "User error, invoked with the ERROR directive."},
    Explanation{E, 102,
                "The assembler ran out of memory while storing macros, #defines or its own working "
                "data. Split the source into smaller files or remove unused definitions."},
    Explanation{E, 103,
                "The symbol table is full: no memory is left for another symbol. Reduce the number "
                "of labels, constants and variables."},
    Explanation{E, 104,
                "A temporary file could not be created. Check that the temporary folder exists, is "
                "writable and has free space."},
    Explanation{E, 105,
                "A file could not be opened. Check the file name and folder, and that the file is "
                "not locked by another program."},
    Explanation{E, 106,
                "#defines are nested too deeply: a definition refers to another one through too "
                "many levels."},
    Explanation{E, 107,
                "A number contains a digit that is not allowed in its radix, such as 8 in an octal "
                "number or G in a hexadecimal one."},
    Explanation{E, 108,
                "A label contains a character that is not allowed. Labels start with a letter or an "
                "underscore and contain letters, digits, underscores and question marks."},
    Explanation{E, 109, "An opening parenthesis has no matching closing parenthesis."},
    Explanation{E, 110, "A closing parenthesis has no matching opening parenthesis."},
    Explanation{E, 111, "An EQU or SET directive stands on a line without a symbol to assign the value to."},
    Explanation{E, 112, "An arithmetic operator is missing between two terms of an expression."},
    Explanation{E, 113,
                "A symbol is used before it has been defined, or it is not defined at all. Check its "
                "spelling and letter case, and define it before it is used."},
    Explanation{E, 114, "An expression divides by zero."},
    Explanation{E, 115, "A label has been declared as a constant more than once."},
    Explanation{E, 116,
                "A label is defined twice, or its address differs between the first and second "
                "pass of the assembler."},
    Explanation{E, 117,
                "The location counter has gone beyond FFFF, the highest address the assembler can "
                "hold."},
    Explanation{E, 118, "Code was previously generated for this address."},
    Explanation{E, 119,
                "The code is split into too many separate pieces. Gather the ORG blocks into fewer, "
                "larger ones."},
    Explanation{E, 120,
                "A call or jump targets an address it may not reach, for example the second half of "
                "a page where a CALL cannot land."},
    Explanation{E, 121, "A label is not allowed on the line of this directive."},
    Explanation{E, 122, "Token is not a valid opcode."},
    Explanation{E, 123, "This directive is not allowed for the selected processor."},
    Explanation{E, 124, "A directive has an argument that is not allowed for it."},
    Explanation{E, 125,
                "Conditional assembly is malformed: an IF, ELSE or ENDIF is missing, misplaced or "
                "has a bad argument."},
    Explanation{E, 126, "An argument lies outside the range the instruction or directive accepts."},
    Explanation{E, 127, "A macro is called with more arguments than it declares."},
    Explanation{E, 128, "An instruction, directive or macro is given fewer arguments than it needs."},
    Explanation{E, 129, "An argument is of the wrong kind, for example a text where a number is expected."},
    Explanation{E, 130, "The processor selected belongs to another family than the one already in use."},
    Explanation{E, 131,
                "Code or data comes before the processor has been defined. Select the processor "
                "with the PROCESSOR or LIST directive, or on the command line, before any code."},
    Explanation{E, 132, "The processor name is not one the assembler knows."},
    Explanation{E, 133, "An address lies above 32K, beyond what the assembler supports."},
    Explanation{E, 134, "The hex file format named in the LIST directive is not a valid one."},
    Explanation{E, 135, "A MACRO directive has no name."},
    Explanation{E, 136, "A macro with this name has already been defined."},
    Explanation{E, 137, "Macros are nested too deeply: a macro calls other macros through too many levels."},
    Explanation{E, 138,
                "Include files are nested too deeply: an included file includes others through too "
                "many levels."},
    Explanation{E, 139, "A WHILE-ENDW can contain at most 100 lines."},
    Explanation{E, 140, "A WHILE-ENDW loop ran more than 256 times. Check that its condition becomes false."},
    Explanation{E, 141, "WHILE loops are nested too deeply."},
    Explanation{E, 142, "IF blocks are nested too deeply."},
    Explanation{E, 143,
                "MACRO, IF and WHILE blocks overlap: each block must end inside the block in which "
                "it started."},
    Explanation{E, 144, "An ENDC directive has no CBLOCK to close."},
    Explanation{E, 145, "An ENDM directive has no MACRO to close."},
    Explanation{E, 146, "An EXITM directive stands outside a macro."},
    Explanation{E, 147,
                "ORG cannot be used when an object file is generated. Use a CODE section with an "
                "address instead."},
    Explanation{E, 148,
                "After its substitutions a source line is longer than 200 characters. Shorten the "
                "line or the texts substituted into it."},
    Explanation{E, 149, "This directive has a meaning only when an object file is generated."},
    Explanation{E, 150, "In an object file every label must lie inside a section."},
    Explanation{E, 151,
                "Relocatable labels can only be used as operands in simple forms, such as HIGH, LOW "
                "or an offset added to the label."},
    Explanation{E, 152,
                "In an object file code and data must lie inside a section. Start one with CODE, "
                "UDATA or IDATA."},
    Explanation{E, 153,
                "The operand of PAGESEL, BANKSEL or BANKISEL must be a label, without an "
                "expression."},
    Explanation{E, 154,
                "A section was stopped and started again, or one name is used for two kinds of "
                "section."},
    Explanation{E, 155,
                "UDATA_OVR sections of the same name are placed at different addresses; sections "
                "that overlay each other must share one address."},
    Explanation{E, 156, "Only labels of a section may be declared global."},
    Explanation{E, 157,
                "The assembler reported an error that is none of those described here. If you "
                "cannot find its cause, contact the chip maker's field application engineer."},

    Explanation{W, 201, "#undefine names a symbol that is not defined."},
    Explanation{W, 202, "An argument does not fit the space it is stored in; only its low bits are used."},
    Explanation{W, 203, "An opcode stands in column one, where labels go. Indent the instruction."},
    Explanation{W, 204, "A pseudo-op stands in column one, where labels go. Indent it."},
    Explanation{W, 205, "A directive stands in column one, where labels go. Indent it."},
    Explanation{W, 206, "A macro call stands in column one, where labels go. Indent it."},
    Explanation{W, 207, "A label does not start in column one. Labels belong in the first column."},
    Explanation{W, 208, "Maximum label length is 32 characters."},
    Explanation{W, 209, "A quotation mark is missing at the end of a text."},
    Explanation{W, 210, "There is an extra comma at the end of the line."},
    Explanation{W, 211, "The line holds more arguments than expected; the extra ones are ignored."},
    Explanation{W, 212, "An argument is not of the kind expected here."},
    Explanation{W, 213, "EXTERN has an effect only when an object file is generated."},
    Explanation{W, 214, "The parentheses on the line do not match."},
    Explanation{W, 215,
                "The processor is given both on the command line and in the source file. The "
                "command line takes precedence."},
    Explanation{W, 216,
                "The radix is given both on the command line and in the source file. The command "
                "line takes precedence."},
    Explanation{W, 217,
                "The hex file format is given both on the command line and in the source file. The "
                "command line takes precedence."},
    Explanation{W, 218, "Bad radix specification."},
    Explanation{W, 219, "A RAM location that was declared invalid is being used."},
    Explanation{W, 220, "A ROM address lies beyond the program memory of the selected processor."},
    Explanation{W, 221, "The message number given is not a valid one."},
    Explanation{W, 222, "Errors cannot be disabled; only warnings and messages can."},
    Explanation{W, 223, "The processor is selected again, although one has already been chosen."},
    Explanation{W, 224,
                "TRIS and OPTION are not recommended on this processor. Write the TRIS or OPTION "
                "register directly instead."},
    Explanation{W, 225, "The operand is not a valid address for this instruction."},
    Explanation{W, 226,
                "The assembler reported a warning that is none of those described here. If you "
                "cannot find its cause, contact the chip maker's field application engineer."},

    Explanation{M, 301, "User message, invoked with the MESSG directive."},
    Explanation{M, 302,
                "The register address includes bank bits, which the instruction cannot hold. Make "
                "sure the bank is selected correctly before the instruction."},
    Explanation{M, 303, "The value is too wide for a program word; only its low bits are used."},
    Explanation{M, 304, "Too many digits are given for the ID locations; only the first four are used."},
    Explanation{M, 305, "No destination is given, so the default (the file register) is used."},
    Explanation{M, 306, "Generated code is crossing a page boundary."},
    Explanation{M, 307,
                "LCALL or LGOTO set the page bits. Check that they are right for the code that "
                "follows."},
    Explanation{M, 308,
                "The warning level is given both on the command line and in the source file. The "
                "command line takes precedence."},
    Explanation{M, 309,
                "Macro expansion is given both on the command line and in the source file. The "
                "command line takes precedence."},
    Explanation{M, 310, "__MAXRAM has already been used; the later use replaces the earlier one."},
    Explanation{M, 312,
                "The page or bank selection generates no code, because the processor has a single "
                "page or bank."},
    Explanation{M, 313, "The first CBLOCK has no start value, so it starts at address 0."},
    Explanation{M, 314,
                "The assembler reported a message that is none of those described here. If you "
                "cannot find its cause, contact the chip maker's field application engineer."},
};
static_assert(kExplanations.size() == kExplanationCount);

}  // namespace

std::string_view MessageExplanations(MessageKind kind, int number) {
    for (const Explanation& e : kExplanations)
        if (e.kind == kind && e.number == number)
            return e.text;
    return {};
}

std::string ExplainMessage(std::string_view line) {
    return std::string(MessageExplanations(KindOfLine(line), NumberOfLine(line)));
}
