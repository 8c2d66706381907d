// SPDX-License-Identifier: GPL-3.0-or-later
// picsymbols [-I FOLDER]... [-p PROCESSOR] FILE...: the symbols of PIC assembler files and of every file they
// include, one a line in the form of ctags -x: name, kind, line, file, then the value where it is known.
// -p names the processor whose header gputils ships (read as if the first file included it); the header
// folder is gputils' unless GPUTILS_HEADER_PATH names another.
#include "editor/SymbolIndex.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char* const kHeaderFolder = "/usr/share/gputils/header";

int Usage() {
    std::fputs("usage: picsymbols [-I FOLDER]... [-p PROCESSOR] FILE...\n", stderr);
    return 2;
}

// "Count            cblock       20 counter.asm 0x20": each definition with the value of its own expression
void Print(std::string& out, const std::string& file, int line, const picsym::Definition& definition,
           const picsym::SymbolIndex& index) {
    if (definition.kind == picsym::Kind::Parameter || definition.kind == picsym::Kind::Local)
        return;
    char number[24];
    out += definition.name;
    out.append(definition.name.size() < 16 ? 16 - definition.name.size() : 0, ' ');
    out += ' ';
    std::string_view kind = picsym::KindName(definition.kind);
    out += kind;
    out.append(kind.size() < 10 ? 10 - kind.size() : 0, ' ');
    // " %4d " and " 0x%llX" without printf's parsing of its format at every line
    char* end = std::to_chars(number, number + sizeof number, line + 1).ptr;
    out.append(size_t(std::max<ptrdiff_t>(1, 5 - (end - number))), ' ');
    out.append(number, end).append(" ").append(file);
    if (definition.kind != picsym::Kind::Define)
        if (auto value = index.Value(definition)) {
            end = std::to_chars(number, number + sizeof number, static_cast<unsigned long long>(*value), 16)
                      .ptr;
            std::transform(number, end, number, [](char c) { return char(std::toupper(uint8_t(c))); });
            out.append(" 0x").append(number, end);
        }
    out += '\n';
    // written out as it fills: one buffer of a fixed size rather than the whole listing
    if (out.size() > 64 * 1024) {
        std::fwrite(out.data(), 1, out.size(), stdout);
        out.clear();
    }
}

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
    std::string out;
    for (const std::string& file : index.files())
        index.file(file)->ForEachDefinition(
            [&out, &file, &index](int line, const picsym::Definition& definition) {
                Print(out, file, line, definition, index);
            });
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? status : 1;
}
