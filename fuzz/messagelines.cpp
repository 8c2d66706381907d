// SPDX-License-Identifier: GPL-3.0-or-later
// The error file's message lines on any bytes: every line end ends a line, nothing else, and the lines
// shown are never longer than the display limit.
#include "assembler/MessageLines.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QStringList lines = SplitMessageLines(bytes);
    qsizetype ends = bytes.count('\n') + bytes.count('\r') - bytes.count("\r\n");
    bool open = !bytes.isEmpty() && bytes.back() != '\n' && bytes.back() != '\r';
    if (lines.size() != ends + (open ? 1 : 0))
        std::abort();
    for (const QString& line : lines)
        if (line.contains('\n') || line.contains('\r') || ShownMessage(line).size() > kMaxShownMessage + 1)
            std::abort();
    return 0;
}
