// SPDX-License-Identifier: GPL-3.0-or-later
// TPICParser: the table-driven scanner that gives every byte of PIC assembler source its colour class.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

// Splits PIC assembler source into tokens one line at a time and gives every byte the number of the
// colour element that draws it. It knows nothing of what the program means: a dispatch table picks a
// recogniser by the first byte of each token, and three word lists tell instructions, directives and
// data directives from other identifiers. Bytes are taken as they stand (UTF-8 or one byte per
// character); every byte of 0x80..0xFF outside a string or comment is a delimiter of its own.
class TPICParser {
  public:
    // The class of a token is the index of the colour element that draws it (the editor's 21 colour
    // elements, "Whitespace" first). The parser produces only these ten.
    enum TokenClass : std::uint8_t {
        kWhitespace = 0,           // "Whitespace": bytes that start no token, and line ends
        kString = 1,               // "String": text in double or single quotes
        kComment = 2,              // "Comment": ";" to the end of the line
        kIdentifier = 3,           // "Identifier": a word in none of the three lists
        kInteger = 4,              // "Integer": 12, 0x1F, H'1F', D'31', B'11111'
        kFloat = 5,                // "Float": 1.5, 2E3
        kReservedWord = 6,         // "Reserved words": an instruction
        kDelimiter = 7,            // "Delimeters": any other single byte from "!" up
        kDefine = 8,               // "Defines": a directive with the rest of its line up to ";"
        kPseudoReservedWord = 15,  // "Pseudo ResWords": a data directive
    };
    static constexpr int kColourElementCount = 21;

    // The value the editor keeps with every line and hands to the call for the next one. This parser
    // needs no state across lines and gives back what it was handed, so the first line may start
    // with any value (0 by convention).
    using LineState = int;

    // One line of a text as the editor splits it: `length` bytes of text from `start`, followed by
    // `endLength` bytes of line end (2 for CR LF, 1 for a lone LF or CR, 0 for the last line of a
    // text that does not end in a line end).
    struct TextLine {
        std::size_t start = 0;
        std::size_t length = 0;
        std::size_t endLength = 0;
        bool operator==(const TextLine&) const = default;
    };

    // Colours one line: writes one class (a TokenClass value) for each of the `length` bytes of
    // `text` to `classes`, which must hold `length` bytes. The line may include its line end, which
    // gets class kWhitespace; no token reaches past a CR or LF, so a line never colours the next.
    // `text` needs no terminating NUL, and a NUL byte inside it is an ordinary control byte.
    // Returns the line state to hand to the next line (here always `state`).
    LineState ParseLine(const char* text, std::size_t length, std::uint8_t* classes, LineState state) const;

    // The same for a string view; throws std::length_error if `classes` is shorter than `line`.
    LineState ParseLine(std::string_view line, std::span<std::uint8_t> classes, LineState state) const;

    // Colours a whole text (for example a file's bytes) as the editor would: splits it into lines as
    // `SplitLines` does and calls ParseLine on each, line end included, carrying the line state from
    // line to line. `classes` must hold text.size() bytes. Returns the state after the last line.
    LineState ParseText(std::string_view text, std::uint8_t* classes, LineState state = 0) const;

    // The lines of a text as the editor splits them: at CR LF, at a lone LF and at a lone CR (so LF CR
    // is two line ends). A line end at the very end of the text starts no further line, and an empty
    // text has no line.
    static std::vector<TextLine> SplitLines(std::string_view text);

    // The word lists (instructions, directives, data directives), each sorted without regard to
    // letter case and searched the same way.
    static std::span<const std::string_view> Instructions();
    static std::span<const std::string_view> Directives();
    static std::span<const std::string_view> DataDirectives();
};
