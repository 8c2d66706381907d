// SPDX-License-Identifier: GPL-3.0-or-later
// The error-line scanner on any line: its fields come from the line, and the file path built from them
// never reaches outside what the line and the folder say.
#include "assembler/ErrorLine.h"
#include "assembler/Explanations.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view line(reinterpret_cast<const char*>(data), size);
    TErrorLine fields = ScanErrorLine(line);
    if (fields.file.size() > line.size() || fields.text.size() > line.size() || fields.line < 0)
        std::abort();
    if (!fields.file.empty())
        (void)MessageFilePath(fields.file, "/project/");
    (void)ExplainMessage(std::string(line));
    (void)ErrorFilePath("/project/", std::string(line));
    return 0;
}
