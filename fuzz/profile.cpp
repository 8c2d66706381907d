// SPDX-License-Identifier: GPL-3.0-or-later
// The profile reader on any file, then writes and batches on it: whatever was written reads back.
#include "platform/ProfileFile.h"

#include <unistd.h>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("korvex-fuzz-" + std::to_string(getpid()) + ".pro");
    std::string text(reinterpret_cast<const char*>(data), size);
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
    ProfileFile profile(file);
    // a section and key of the input's own making, and a value with blanks at its edges
    std::string section = text.substr(0, std::min<size_t>(size, 8)), key = "k" + text.substr(0, 3);
    for (char& c : section)
        if (c == '\n' || c == '\r' || c == ']' || c == '[')
            c = 'x';
    for (char& c : key)
        if (c == '\n' || c == '\r' || c == '=' || c == '[' || c == ' ' || c == '\t')
            c = 'y';
    profile.beginBatch();
    profile.WriteString(section, key, " value ");
    profile.WriteString("FILES", "Count", "two\nlines");  // refused: the batch goes back
    profile.commitBatch();
    (void)profile.ReadString(section, key, "");
    if (profile.readable() && profile.WriteString(section, key, " v=1 ") &&
        ProfileFile(file).ReadString(section, key, "") != " v=1 ")
        std::abort();
    profile.EraseSection(section);
    (void)profile.text();
    return 0;
}
