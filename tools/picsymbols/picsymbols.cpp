// SPDX-License-Identifier: GPL-3.0-or-later
// picsymbols [-I FOLDER]... [-p PROCESSOR] FILE...: the symbols of PIC assembler files and of every file they
// include, one a line in the form of ctags -x: name, kind, line, file, then the value where it is known.
// -p names the processor whose header gputils ships (read as if the first file included it); the header
// folder is gputils' unless GPUTILS_HEADER_PATH names another.
#include "editor/SymbolIndex.h"

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

// "Count            cblock       20 counter.asm      0x20"
void Print(std::string& out, const picsym::Symbol& symbol, const picsym::SymbolIndex& index) {
    char line[64];
    out += symbol.name;
    out.append(symbol.name.size() < 16 ? 16 - symbol.name.size() : 0, ' ');
    out += ' ';
    std::string_view kind = picsym::KindName(symbol.kind);
    out += kind;
    out.append(kind.size() < 10 ? 10 - kind.size() : 0, ' ');
    std::snprintf(line, sizeof line, " %4d ", symbol.where.line + 1);
    out += line;
    out += symbol.where.file;
    if (symbol.kind == picsym::Kind::Constant || symbol.kind == picsym::Kind::Variable ||
        symbol.kind == picsym::Kind::Block)
        if (auto value = index.Value(symbol.name)) {
            std::snprintf(line, sizeof line, " 0x%llX", static_cast<unsigned long long>(*value));
            out += line;
        }
    out += '\n';
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
    picsym::SymbolIndex index;
    index.SetIncludeFolders(folders);
    int status = 0;
    if (!processor.empty()) {
        std::string name = "p" + picsym::Fold(processor.starts_with("pic") || processor.starts_with("PIC")
                                                   ? processor.substr(3)
                                                   : processor) + ".inc";
        bool found = false;
        for (const std::string& folder : folders)
            found = found || index.AddFile(folder + "/" + name);
        if (!found) {
            std::fprintf(stderr, "picsymbols: no header %s for processor %s\n", name.c_str(), processor.c_str());
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
        for (const picsym::Symbol& symbol : index.Outline(file))
            Print(out, symbol, index);
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? status : 1;
}
