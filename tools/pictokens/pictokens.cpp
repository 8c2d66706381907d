// pictokens FILE...: prints, for every line of each file, the tokenizer's class of each byte as one hex
// digit.
#include "editor/PICParser.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

// The whole file as bytes, or nothing (with the reason on standard error) if it cannot be read.
std::optional<std::string> ReadFile(const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        std::fprintf(stderr, "pictokens: %s: %s\n", path, std::strerror(errno));
        return std::nullopt;
    }
    std::string bytes;
    char buffer[1 << 16];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.append(buffer, count);
    }
    // A folder opens but does not read: fread fails with EISDIR.
    const bool failed = std::ferror(file) != 0;
    const int error = errno;
    std::fclose(file);
    if (failed) {
        std::fprintf(stderr, "pictokens: %s: %s\n", path, std::strerror(error));
        return std::nullopt;
    }
    return bytes;
}

// One output line per source line, its line end left out.
void PrintClasses(const TPICParser& parser, std::string_view text, std::string* out) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::vector<std::uint8_t> classes(text.size());
    parser.ParseText(text, classes.data());
    for (const TPICParser::TextLine& line : TPICParser::SplitLines(text)) {
        for (std::size_t i = line.start; i < line.start + line.length; ++i) {
            out->push_back(classes[i] < 16 ? kDigits[classes[i]] : '?');
        }
        out->push_back('\n');
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: pictokens FILE...\n");
        return 2;
    }
    const TPICParser parser;
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        const std::optional<std::string> text = ReadFile(argv[i]);
        if (!text) {
            status = 2;
            continue;
        }
        std::string out;
        PrintClasses(parser, *text, &out);
        std::fwrite(out.data(), 1, out.size(), stdout);
    }
    if (std::fflush(stdout) != 0) {
        std::fprintf(stderr, "pictokens: cannot write the output: %s\n", std::strerror(errno));
        return 2;
    }
    return status;
}
