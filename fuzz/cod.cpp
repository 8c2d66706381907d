// SPDX-License-Identifier: GPL-3.0-or-later
// The .cod reader on any bytes: every table it names is read within the bytes, and every question asked of
// what it read stays within what it read.
#include "gpsim/CodFile.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string error;
    auto cod = CodFile::Parse(std::string_view(reinterpret_cast<const char*>(data), size), error);
    if (!cod) {
        if (error.empty())
            std::abort();  // a refusal always says why
        return 0;
    }
    for (const CodLine& line : cod->lines) {
        if (line.file < 0 || line.line <= 0)
            std::abort();
        auto back = cod->LineOfAddress(line.address);
        if (line.code && (!back || back->address != line.address))
            std::abort();
        (void)cod->SourcePath("/project/", line.file);
        (void)cod->AddressOfLine(line.file, line.line);
        if (auto word = cod->WordAt(line.address))
            (void)StackEffect(*word);
    }
    for (size_t i = 0; i < cod->sources.size(); ++i)
        if (cod->SourceIndex("/project/", cod->SourcePath("/project/", int(i))) < 0)
            std::abort();
    (void)ProgramRegisters(*cod, HeaderNames(cod->processor), 0x200);
    return 0;
}
