// SPDX-License-Identifier: GPL-3.0-or-later
// MPASMWIN.EXE for Linux: reads the Windows assembler's switches and runs gpasm, which leaves NAME.err beside
// the source in the same format. Plain C++ and POSIX; the IDE runs it like any assembler.
//
//   MPASMWIN.EXE [/q] [/e±] [/l±] [/x±] [/rhex|rdec|roct] [/w0|1|2] [/aINHX8M|INHX8S|INHX32] [/m±] [/c±]
//                [/pNAME] [/dSYM[=VAL]]... SOURCE
//
// Problems of its own (an unknown switch, gpasm missing or failing without saying why in the error file)
// become an Error[157] line in NAME.err, the only place the IDE reads.
//
// NAME.err is then brought to the assembler's own form, line by line: every message names a file and a
// line (gpasm leaves some without: they get the source and its last line), carries the assembler's number
// for the fault where gpasm numbers it otherwise (the explanations go by number), and points at the line
// the assembler would name (gpasm names the line after an include it cannot find).
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Options {
    bool quiet = false;
    bool errorFile = true;
    bool listFile = true;
    std::vector<std::string> gpasm;  // gpasm's options, in order
    std::string source;
};

std::string lower(std::string text) {
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// "+", "" and "-" after an on/off switch; nothing for anything else.
std::optional<bool> onOff(const std::string& rest) {
    if (rest.empty() || rest == "+")
        return true;
    if (rest == "-")
        return false;
    return std::nullopt;
}

// One switch into the options; false when it is not one this front end knows.
bool takeSwitch(const std::string& argument, Options& o) {
    if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-'))
        return false;
    char letter = char(std::tolower(static_cast<unsigned char>(argument[1])));
    std::string rest = argument.substr(2), value = lower(rest);
    std::optional<bool> flag = onOff(rest);
    switch (letter) {
        case 'q':
        case 'e':
        case 'l':
            if (!flag)
                return false;
            (letter == 'q' ? o.quiet : letter == 'e' ? o.errorFile : o.listFile) = *flag;
            return true;
        case 'x':
            return flag.has_value();  // gpasm writes no cross-reference file
        case 'c':
            if (flag && !*flag)
                o.gpasm.push_back("-i");
            return flag.has_value();
        case 'm':
            if (flag)
                o.gpasm.insert(o.gpasm.end(), {"-e", *flag ? "ON" : "OFF"});
            return flag.has_value();
        case 'r':
            if (value != "hex" && value != "dec" && value != "oct")
                return false;
            o.gpasm.insert(o.gpasm.end(), {"-r", value});
            return true;
        case 'w':
            if (value != "0" && value != "1" && value != "2")
                return false;
            o.gpasm.insert(o.gpasm.end(), {"-w", value});
            return true;
        case 'a':
            if (value != "inhx8m" && value != "inhx8s" && value != "inhx32")
                return false;
            o.gpasm.insert(o.gpasm.end(), {"-a", value});
            return true;
        case 'p':
            if (!rest.empty())
                o.gpasm.insert(o.gpasm.end(), {"-p", rest});
            return true;  // "/p" alone: the source's own processor applies
        case 'd':
            if (rest.empty())
                return false;
            o.gpasm.insert(o.gpasm.end(), {"-D", rest});
            return true;
        default:
            return false;
    }
}

// NAME without its extension, as gpasm names its output files.
std::string stem(const std::string& source) {
    size_t slash = source.rfind('/');
    size_t dot = source.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return source;
    return source.substr(0, dot);
}

void addErrorLine(const std::string& source, const std::string& text, std::ios::openmode mode) {
    std::ofstream(stem(source) + ".err", mode) << "Error[157]   " << source << " 1 : " << text << "\n";
}

bool hasErrorLine(const std::string& errFile) {
    std::ifstream in(errFile);
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("Error[", 0) == 0)
            return true;
    return false;
}

// gpasm's numbers for faults the assembler numbers otherwise; gpasm's own texts stay.
const std::map<std::string, std::string> kAssemblerNumbers = {
    {"181", "122"},   // Unknown opcode: the assembler's "Illegal opcode"
    {"1101", "108"},  // the parser's lexical error: an illegal character
    {"1102", "108"},  // the parser's syntax error
};

std::vector<std::string> readLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string lowerCase(std::string text) {
    return lower(std::move(text));
}

// The line of an include that names `file` at or just before `line` (from 1); `line` when there is none.
int includeLine(const std::vector<std::string>& source, int line, const std::string& file) {
    for (int at = line; at >= 1 && at >= line - 1; --at) {
        if (size_t(at) > source.size())
            continue;
        std::string text = lowerCase(source[size_t(at - 1)]);
        if (text.find("include") != std::string::npos && text.find(lowerCase(file)) != std::string::npos)
            return at;
    }
    return line;
}

// One line of gpasm's error file in the assembler's form.
std::string assemblerLine(const std::string& line, const std::string& source, int lastLine,
                          const std::vector<std::string>& sourceLines) {
    static const std::regex message(R"(^(Error|Warning|Message)\[(\d+)\]\s*(.*)$)");
    static const std::regex place(R"(^(.+) (\d+) : (.*)$)");
    static const std::regex included(R"rx(Include file "([^"]+)")rx");
    std::smatch m;
    if (!std::regex_match(line, m, message))
        return line;
    std::string kind = m[1], number = m[2], rest = m[3];
    if (auto mpasm = kAssemblerNumbers.find(number); mpasm != kAssemblerNumbers.end())
        number = mpasm->second;
    std::string file = source, text = rest;
    int at = lastLine;
    std::smatch p;
    if (std::regex_match(rest, p, place)) {
        file = p[1];
        at = std::stoi(p[2]);
        text = p[3];
        std::smatch inc;
        if (number == "105" && file == source && std::regex_search(text, inc, included))
            at = includeLine(sourceLines, at, inc[1]);
    }
    std::string head = kind + "[" + number + "]";
    head.resize(std::max<size_t>(head.size() + 1, 13), ' ');
    return head + file + " " + std::to_string(at) + " : " + text;
}

// Rewrites the error file in place in the assembler's form.
void toAssemblerForm(const std::string& errFile, const std::string& source) {
    std::vector<std::string> lines = readLines(errFile);
    if (lines.empty())
        return;
    std::vector<std::string> sourceLines = readLines(source);
    int lastLine = std::max(1, int(sourceLines.size()));
    std::ofstream out(errFile, std::ios::binary | std::ios::trunc);
    for (const std::string& line : lines)
        out << assemblerLine(line, source, lastLine, sourceLines) << "\n";
}

struct RunResult {
    int status = -1;     // gpasm's exit code; -1 when it could not run or was killed
    std::string output;  // the end of what it wrote on its console (kKeptOutput bytes at most)
};

// gpasm may print without end; the front end shows its console and takes its first line for a message,
// for which the last few pages are plenty.
constexpr size_t kKeptOutput = 64 * 1024;

void keepTail(std::string& kept, const char* bytes, size_t size) {
    kept.append(bytes, size);
    if (kept.size() > 2 * kKeptOutput)
        kept.erase(0, kept.size() - kKeptOutput);
}

// Runs gpasm without a shell, its console output collected through one pipe.
RunResult runGpasm(const std::vector<std::string>& arguments) {
    const char* gpasm = std::getenv("KORVEX_GPASM");
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(gpasm && *gpasm ? gpasm : "gpasm"));
    for (const std::string& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return {-1, std::strerror(errno)};
    pid_t parent = getpid();
    pid_t child = fork();
    if (child == 0) {
        // gpasm goes when the front end goes, however it goes: the IDE stops a build by ending the front end
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(127);
        dup2(pipeEnds[1], STDOUT_FILENO);
        dup2(pipeEnds[1], STDERR_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        execvp(argv[0], argv.data());
        std::string why = std::string("gpasm cannot be run: ") + std::strerror(errno) + "\n";
        (void)!write(STDERR_FILENO, why.data(), why.size());
        _exit(127);
    }
    close(pipeEnds[1]);
    RunResult result;
    char buffer[4096];
    for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            break;
        keepTail(result.output, buffer, size_t(n));
    }
    if (result.output.size() > kKeptOutput)
        result.output.erase(0, result.output.size() - kKeptOutput);
    close(pipeEnds[0]);
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) < 0)
        return {-1, "gpasm cannot be run"};
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// The first line gpasm printed, for an error line when it stopped without writing one.
std::string firstLine(const std::string& output) {
    std::istringstream in(output);
    std::string line;
    while (std::getline(in, line))
        if (!line.empty())
            return line;
    return "gpasm stopped without a message";
}

// The first output file that exists and is no regular file (a FIFO would stop gpasm for ever, a device
// would take what it writes); empty when there is none.
std::string oddOutputFile(const std::string& source) {
    for (const char* extension : {".err", ".cod", ".hex", ".lst"}) {
        std::string file = stem(source) + extension;
        struct stat info {};
        if (::stat(file.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
            return file;
    }
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.empty()) {
        std::cerr << "usage: MPASMWIN.EXE [/switches] SOURCE\n";
        return 2;
    }
    o.source = arguments.back();  // the build passes the source last; switches may look like paths
    arguments.pop_back();
    for (const std::string& argument : arguments) {
        if (takeSwitch(argument, o))
            continue;
        addErrorLine(o.source, "MPASMWIN.EXE: unknown switch \"" + argument + "\"", std::ios::trunc);
        std::cerr << "MPASMWIN.EXE: unknown switch \"" << argument << "\"\n";
        return 2;
    }
    if (std::string odd = oddOutputFile(o.source); !odd.empty()) {
        std::string text = "MPASMWIN.EXE: " + odd + " is not a regular file; remove it to build";
        // the message goes into the error file, unless that is the file in the way
        if (odd != stem(o.source) + ".err")
            addErrorLine(o.source, text, std::ios::trunc);
        std::cerr << text << "\n";
        return 1;
    }
    // gpasm's own -q would also empty the error file: its console output is held back here instead
    std::vector<std::string> gpasm = o.gpasm;
    std::string errFile = stem(o.source) + ".err";
    std::remove(errFile.c_str());  // an earlier build's messages must not pass for this one's
    if (o.errorFile)
        gpasm.push_back("-k");
    // includes are found beside the source that includes them, after the current folder
    if (size_t slash = o.source.rfind('/'); slash != std::string::npos)
        gpasm.insert(gpasm.end(), {"-I", slash == 0 ? "/" : o.source.substr(0, slash)});
    // the outputs lie beside the source under its name, whatever dots its folders have
    gpasm.insert(gpasm.end(), {"-o", stem(o.source) + ".hex"});
    gpasm.push_back(o.source);
    RunResult run = runGpasm(gpasm);
    if (!o.quiet)
        std::cout << run.output << std::flush;
    if (!o.listFile)
        std::remove((stem(o.source) + ".lst").c_str());
    if (run.status != 0 && o.errorFile && !hasErrorLine(errFile))
        addErrorLine(o.source, firstLine(run.output), std::ios::app);
    if (o.errorFile)
        toAssemblerForm(errFile, o.source);
    return run.status < 0 ? 1 : run.status;
}
