// SPDX-License-Identifier: GPL-3.0-or-later
// pic14run driven by scripts on standard input, as the benchmarks and regression runs use it.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

struct RunResult {
    std::string Out;
    std::string Err;
    int ExitCode;
};

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

RunResult RunScript(const std::string& script) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("pic14run-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "in.txt") << script;
    const std::string command = std::string("'") + KORVEX_BINARY_DIR + "/tools/pic14run/pic14run' <'" +
                                (dir / "in.txt").string() + "' >'" + (dir / "out.txt").string() + "' 2>'" +
                                (dir / "err.txt").string() + "'";
    const int status = std::system(command.c_str());
    RunResult result{ReadAll(dir / "out.txt"), ReadAll(dir / "err.txt"),
                     WIFEXITED(status) ? WEXITSTATUS(status) : -1};
    std::filesystem::remove_all(dir);
    return result;
}

TEST(Pic14run, ScriptRunsAndDumps) {
    const RunResult run = RunScript(
        "# two passes of the demonstration loop\n"
        "reset\n"
        "step 7\n"
        "dump\n"
        "prog 0x100 0x2005 0x3FFF   # CALL 0x005; ADDLW 0xFF\n"
        "set PC 0x100\n"
        "set CYCLES 4294967295\n"
        "reg 0x1FF 0xAB\n"
        "reg 0x0A 0x18\n"
        "stack 7 0x1234\n"
        "step\n"
        "\n"
        "dump\n");
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(run.Err, "");
    EXPECT_EQ(run.Out,
              "PC=000A W=01 FLAGS=11 SP=0 CYCLES=10 STACK=0000,0000,0000,0000,0000,0000,0000,0000\n"
              "REGS\n"
              "PC=1805 W=01 FLAGS=11 SP=1 CYCLES=1 STACK=0101,0000,0000,0000,0000,0000,0000,1234\n"
              "REGS 00A=18 1FF=AB\n");
}

TEST(Pic14run, BenchReportsItsRate) {
    const RunResult run = RunScript("reset\nbench 1000\n");
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Out.rfind("steps=1000 seconds=", 0), 0u) << run.Out;
    EXPECT_NE(run.Out.find(" msteps_per_s="), std::string::npos);
}

// Each bad line stops the run with exit code 2 and names its line; output before it stands.
TEST(Pic14run, BadInputNamesTheLine) {
    const char* bad[] = {
        "frobnicate",
        "step 12abc",
        "step -1",
        "set W 0x100",
        "set SP 8",
        "set X 1",
        "reg 0x200 1",
        "prog 0x1FFF 0 0",
        "prog 0 0x4000",
        "stack 8 0",
        "dump extra",
        "prog 0x10",
        "set CYCLES 4294967296",
        "bench",
        "step 0x",
    };
    for (const char* line : bad) {
        const RunResult run = RunScript(std::string("dump\n") + line + "\ndump\n");
        EXPECT_EQ(run.ExitCode, 2) << line;
        EXPECT_EQ(run.Err.rfind("pic14run: line 2: ", 0), 0u) << line << ": " << run.Err;
        EXPECT_EQ(run.Out.find("REGS"), run.Out.rfind("REGS")) << line << ": only the first dump runs";
    }
}

}  // namespace
