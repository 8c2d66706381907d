// MPASMWIN.EXE for Linux: reads the Windows assembler's switches and runs gpasm, which leaves NAME.err beside
// the source in the same format. Plain C++ and POSIX; the IDE runs it like any assembler.
//
//   MPASMWIN.EXE [/q] [/e±] [/l±] [/x±] [/rhex|rdec|roct] [/w0|1|2] [/aINHX8M|INHX8S|INHX32] [/m±] [/c±]
//                [/pNAME] [/dSYM[=VAL]]... SOURCE
//
// Problems of its own (an unknown switch, gpasm missing or failing without saying why in the error file)
// become an Error[157] line in NAME.err, the only place the IDE reads.
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
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

struct RunResult {
    int status = -1;     // gpasm's exit code; -1 when it could not run or was killed
    std::string output;  // what it wrote on its console
};

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
    pid_t child = fork();
    if (child == 0) {
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
        result.output.append(buffer, size_t(n));
    }
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
    // gpasm's own -q would also empty the error file: its console output is held back here instead
    std::vector<std::string> gpasm = o.gpasm;
    std::string errFile = stem(o.source) + ".err";
    std::remove(errFile.c_str());  // an earlier build's messages must not pass for this one's
    if (o.errorFile)
        gpasm.push_back("-k");
    gpasm.push_back(o.source);
    RunResult run = runGpasm(gpasm);
    if (!o.quiet)
        std::cout << run.output << std::flush;
    if (!o.listFile)
        std::remove((stem(o.source) + ".lst").c_str());
    if (run.status != 0 && o.errorFile && !hasErrorLine(errFile))
        addErrorLine(o.source, firstLine(run.output), std::ios::app);
    return run.status < 0 ? 1 : run.status;
}
