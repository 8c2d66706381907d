// SPDX-License-Identifier: GPL-3.0-or-later
// The error-file line scanner: kind and number, source file, line number and text of one assembler message.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

// Reads blank-separated tokens from one line of the error file. The line is kept whole, however long.
class TErrorLineScanner {
  public:
    explicit TErrorLineScanner(std::string_view line) : line_(line) {}

    // Skips blanks, tabs and control characters (bytes 0x00-0x20; bytes 0x80-0xFF are text), then collects
    // up to the next blank. A tab inside a token belongs to it. Empty at the end of the line.
    std::string NextToken();
    // Where the scan stands: on the blank that ended the last token, or at the end of the line.
    size_t position() const { return position_; }

  private:
    std::string line_;
    size_t position_ = 0;
};

enum class MessageKind { None, Error, Warning, Message };

// One error-file line taken apart. A line outside the format gives what could be read and never fails.
struct TErrorLine {
    MessageKind kind = MessageKind::None;
    int number = -1;   // the whole number in the brackets; -1 when there is none
    std::string file;  // as written: everything between the kind token and the line number
    int line = 0;      // counted from 1; 0 when the line-number field holds no number
    std::string text;  // the message text, leading blanks and control characters removed
};

// "Error[113] C:\PROGRAM FILES\X.INC 33 : text": the file runs up to the number that stands just before
// the first " : ", so paths with blanks survive. Lines without " : " fall back to one token per field.
TErrorLine ScanErrorLine(std::string_view line);

// The kind by the line's first character ("E", "W", "M", upper case only) and the number read from
// after "Error[" / "Warning[" / "Message[" up to "]"; -1 when the digits are missing or not all digits.
MessageKind KindOfLine(std::string_view line);
int NumberOfLine(std::string_view line);

// The file a message names, as a POSIX path: a Windows path written under wine ("Z:\home\u\MAIN.ASM")
// is mapped through the wine prefix's drive links ("z:" is "/" when the prefix has no link); a name
// without a folder, or a relative path, lies in projectDir (which ends with "/").
std::string MessageFilePath(std::string_view file, std::string_view projectDir);
std::string MessageFilePath(std::string_view file, std::string_view projectDir,
                            const std::filesystem::path& winePrefix);
// $WINEPREFIX, else ~/.wine.
std::filesystem::path DefaultWinePrefix();

// The project's first file as a path: a full path stays, a name or relative path lies in projectDir.
std::string ResolveProjectFile(std::string_view projectDir, std::string_view entry);
// The error file the assembler writes for the first file: its path with the extension (from the last "."
// of the file name) replaced by ".err", or ".err" appended when it has none. prog.a gives prog.err.
std::string ErrorFilePath(std::string_view projectDir, std::string_view firstEntry);
