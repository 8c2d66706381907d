// SPDX-License-Identifier: GPL-3.0-or-later
// picsymbols [-I FOLDER]... [-p PROCESSOR] FILE...: the symbols of PIC assembler files and of every file they
// include, one a line in the form of ctags -x: name, kind, line, file, then the value where it is known.
// -p names the processor whose header gputils ships (read as if the first file included it); the header
// folder is gputils' unless GPUTILS_HEADER_PATH names another.
#include "editor/SymbolIndex.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

const char* const kHeaderFolder = "/usr/share/gputils/header";

int Usage() {
    std::fputs("usage: picsymbols [-I FOLDER]... [-p PROCESSOR] FILE...\n", stderr);
    return 2;
}

// Writes the listing: each definition with the value of its own expression, in the form of ctags -x.
class Lister {
  public:
    explicit Lister(const picsym::SymbolIndex& index) : index_(index) {}
    ~Lister() { std::fwrite(out_.data(), 1, out_.size(), stdout); }

    // "Count            cblock       20 counter.asm 0x20": the name and kind padded to 16 and 10 columns,
    // the line to 4 (" %4d "), the value in hexadecimal (" 0x%llX")
    void Print(const std::string& file, int line, const picsym::Definition& definition) {
        if (definition.kind == picsym::Kind::Parameter || definition.kind == picsym::Kind::Local)
            return;
        std::string_view kind = picsym::KindName(definition.kind);
        char number[24], hex[24];
        size_t digits = size_t(std::to_chars(number, number + sizeof number, line + 1).ptr - number);
        size_t hexDigits = 0;
        if (std::optional<int64_t> value = ValueOf(definition))
            hexDigits = size_t(
                std::to_chars(hex, hex + sizeof hex, static_cast<unsigned long long>(*value), 16).ptr - hex);
        size_t nameWidth = std::max<size_t>(definition.name.size(), 16),
               kindWidth = std::max<size_t>(kind.size(), 10);
        size_t lineWidth = std::max<size_t>(digits, 4);
        // the line made of blanks at its full length, each field copied into its place
        size_t at = out_.size();
        out_.resize(
            at + nameWidth + kindWidth + lineWidth + file.size() + (hexDigits ? hexDigits + 3 : 0) + 4, ' ');
        char* to = out_.data() + at;
        to = std::copy(definition.name.begin(), definition.name.end(), to) +
             (nameWidth - definition.name.size()) + 1;
        to = std::copy(kind.begin(), kind.end(), to) + (kindWidth - kind.size()) + 1;
        to = std::copy(number, number + digits, to + (lineWidth - digits)) + 1;
        to = std::copy(file.begin(), file.end(), to);
        if (hexDigits) {
            to = std::copy_n(" 0x", 3, to);
            to = std::transform(hex, hex + hexDigits, to,
                                [](char c) { return c >= 'a' ? char(c - 'a' + 'A') : c; });
        }
        *to = '\n';
        // written out as it fills: a buffer of a bounded size rather than the whole listing
        if (out_.size() > 64 * 1024) {
            std::fwrite(out_.data(), 1, out_.size(), stdout);
            out_.clear();
        }
    }

  private:
    // Equal expressions in the same radix have equal values: a header's bit numbers and a program's CBLOCK
    // addresses repeat, and each is read once.
    std::optional<int64_t> ValueOf(const picsym::Definition& definition) {
        if (definition.kind != picsym::Kind::Constant && definition.kind != picsym::Kind::Variable &&
            definition.kind != picsym::Kind::Block)
            return std::nullopt;
        std::string key = definition.text;
        key += char(definition.radix);
        auto [known, added] = values_.try_emplace(std::move(key));
        if (added)
            known->second = index_.Value(definition);
        return known->second;
    }

    const picsym::SymbolIndex& index_;
    std::string out_;
    std::unordered_map<std::string, std::optional<int64_t>> values_;
};

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> folders, files;
    std::string processor;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-I") == 0 && i + 1 < argc)
            folders.push_back(argv[++i]);
        else if (std::strncmp(argv[i], "-I", 2) == 0 && argv[i][2])
            folders.push_back(argv[i] + 2);
        else if (std::strcmp(argv[i], "-p") == 0 && i + 1 < argc)
            processor = argv[++i];
        else if (argv[i][0] == '-')
            return Usage();
        else
            files.push_back(argv[i]);
    }
    if (files.empty())
        return Usage();
    const char* headers = std::getenv("GPUTILS_HEADER_PATH");
    folders.push_back(headers && *headers ? headers : kHeaderFolder);
    // only the definitions are shown: the index keeps no line texts and no uses. It is never freed: the
    // process ends right after printing, and giving back the memory of every line would only take time.
    picsym::SymbolIndex& index = *new picsym::SymbolIndex(picsym::Keep::DefinitionsOnly);
    index.SetIncludeFolders(folders);
    int status = 0;
    if (!processor.empty()) {
        std::string name =
            "p" +
            picsym::Fold(processor.starts_with("pic") || processor.starts_with("PIC") ? processor.substr(3)
                                                                                      : processor) +
            ".inc";
        bool found = false;
        for (const std::string& folder : folders)
            found = found || index.AddFile(folder + "/" + name);
        if (!found) {
            std::fprintf(stderr, "picsymbols: no header %s for processor %s\n", name.c_str(),
                         processor.c_str());
            status = 1;
        }
    }
    for (const std::string& file : files)
        if (!index.AddFile(file)) {
            std::fprintf(stderr, "picsymbols: %s cannot be read\n", file.c_str());
            status = 1;
        }
    {
        Lister lister(index);
        for (const std::string& file : index.files())
            index.file(file)->ForEachDefinition(
                [&lister, &file](int line, const picsym::Definition& definition) {
                    lister.Print(file, line, definition);
                });
    }
    return std::fflush(stdout) == 0 ? status : 1;
}
