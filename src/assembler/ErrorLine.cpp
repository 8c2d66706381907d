// SPDX-License-Identifier: GPL-3.0-or-later
// The error-file line scanner: tokens, the fields of one message line, and the paths it names.
#include "assembler/ErrorLine.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>

namespace {

// Blanks, tabs and control characters; bytes 0x80-0xFF are text (non-ASCII file names).
bool isSpace(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

bool allDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A decimal number, or 0 when the text holds none (or one too large).
int lineNumber(std::string_view text) {
    int value = 0;
    if (!allDigits(text))
        return 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() ? value : 0;
}

// The fields of a well-formed line: "KIND[n] FILE WITH BLANKS 12 : text". False when the line has no
// " : " after the kind token or no number just before it.
bool scanBySeparator(std::string_view line, size_t afterKind, TErrorLine& out) {
    size_t separator = line.find(" : ", afterKind);
    if (separator == std::string_view::npos)
        return false;
    std::string_view head = trimmed(line.substr(afterKind, separator - afterKind));
    size_t blank = head.rfind(' ');
    if (blank == std::string_view::npos)
        return false;
    std::string_view number = head.substr(blank + 1);
    std::string_view file = trimmed(head.substr(0, blank));
    if (!allDigits(number) || file.empty())
        return false;
    out.file = file;
    out.line = lineNumber(number);
    std::string_view text = line.substr(separator + 3);
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    out.text = text;
    return true;
}

}  // namespace

std::string TErrorLineScanner::NextToken() {
    while (position_ < line_.size() && isSpace(line_[position_]))
        ++position_;
    size_t start = position_;
    while (position_ < line_.size() && line_[position_] != ' ')
        ++position_;
    return line_.substr(start, position_ - start);
}

MessageKind KindOfLine(std::string_view line) {
    if (line.empty())
        return MessageKind::None;
    switch (line.front()) {
        case 'E':
            return MessageKind::Error;
        case 'W':
            return MessageKind::Warning;
        case 'M':
            return MessageKind::Message;
        default:
            return MessageKind::None;
    }
}

int NumberOfLine(std::string_view line) {
    MessageKind kind = KindOfLine(line);
    if (kind == MessageKind::None)
        return -1;
    std::string token = TErrorLineScanner(line).NextToken();
    size_t prefix = kind == MessageKind::Error ? 6 : 8;  // "Error[", "Warning[", "Message["
    size_t close = token.find(']', prefix);
    if (token.size() <= prefix || close == std::string::npos)
        return -1;
    std::string_view digits = std::string_view(token).substr(prefix, close - prefix);
    int number = lineNumber(digits);
    return allDigits(digits) && number > 0 ? number : -1;
}

TErrorLine ScanErrorLine(std::string_view line) {
    TErrorLine out;
    out.kind = KindOfLine(line);
    out.number = NumberOfLine(line);
    TErrorLineScanner scanner(line);
    scanner.NextToken();
    if (scanBySeparator(line, scanner.position(), out))
        return out;
    out.file = scanner.NextToken();
    out.line = lineNumber(scanner.NextToken());
    scanner.NextToken();  // the separator
    std::string_view text = line.substr(std::min(scanner.position(), line.size()));
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    out.text = text;
    return out;
}

std::filesystem::path DefaultWinePrefix() {
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix && *prefix)
        return prefix;
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home ? home : "") / ".wine";
}

std::string MessageFilePath(std::string_view file, std::string_view projectDir) {
    return MessageFilePath(file, projectDir, DefaultWinePrefix());
}

std::string MessageFilePath(std::string_view file, std::string_view projectDir,
                            const std::filesystem::path& winePrefix) {
    std::string path(file);
    std::replace(path.begin(), path.end(), '\\', '/');
    bool drive = path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
    if (drive) {
        std::string letter(1, char(std::tolower(static_cast<unsigned char>(path[0]))));
        std::error_code ec;
        std::filesystem::path root =
            std::filesystem::canonical(winePrefix / "dosdevices" / (letter + ":"), ec);
        if (ec && letter != "z")
            return path;  // a drive wine does not know: left as written
        std::string rest = path.substr(2);
        while (!rest.empty() && rest.front() == '/')
            rest.erase(0, 1);
        std::string base = ec ? std::string("/") : root.string();
        return base.ends_with('/') ? base + rest : base + "/" + rest;
    }
    return ResolveProjectFile(projectDir, path);
}

std::string ResolveProjectFile(std::string_view projectDir, std::string_view entry) {
    if (entry.starts_with('/'))
        return std::string(entry);
    return std::string(projectDir) + std::string(entry);
}

std::string ErrorFilePath(std::string_view projectDir, std::string_view firstEntry) {
    std::string path = ResolveProjectFile(projectDir, firstEntry);
    size_t nameStart = path.rfind('/');
    nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
    size_t dot = path.rfind('.');
    if (dot != std::string::npos && dot > nameStart)
        path.erase(dot);
    return path + ".err";
}
