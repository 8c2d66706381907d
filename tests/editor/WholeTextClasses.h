// SPDX-License-Identifier: GPL-3.0-or-later
// The plain way to print a text's classes, the one pictokens' printer must match byte for byte (the whole
// text coloured at once, then split into lines), and the processor headers as one text to try it on.
#pragma once

#include "editor/PICParser.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <string_view>
#include <vector>

inline std::string WholeTextClasses(std::string_view text) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::vector<std::uint8_t> classes(text.size());
    const TPICParser parser;
    parser.ParseText(text, classes.data());
    std::string out;
    for (const TPICParser::TextLine& line : TPICParser::SplitLines(text)) {
        for (std::size_t i = line.start; i < line.start + line.length; ++i) {
            out.push_back(classes[i] < 16 ? kDigits[classes[i]] : '?');
        }
        out.push_back('\n');
    }
    return out;
}

// gputils' p16*.inc headers one after the other, in name order; empty when gputils is not installed.
inline std::string ProcessorHeaders() {
    const std::filesystem::path folder = "/usr/share/gputils/header";
    std::set<std::filesystem::path> headers;
    if (std::filesystem::is_directory(folder)) {
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            const std::string name = entry.path().filename().string();
            if (name.starts_with("p16") && name.ends_with(".inc")) {
                headers.insert(entry.path());
            }
        }
    }
    std::string text;
    for (const auto& header : headers) {
        std::ifstream in(header, std::ios::binary);
        text.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return text;
}
