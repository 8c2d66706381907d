// SPDX-License-Identifier: GPL-3.0-or-later
// pictokens tests: the program is run on files written by each test, as a developer would run it.
#include "WholeTextClasses.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

using namespace std::string_literals;

namespace fs = std::filesystem;

struct ToolRun {
    std::string out;
    std::string err;
    int status = -1;
};

class Pictokens : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!fs::exists(tool_)) {
            GTEST_SKIP() << "pictokens is not built: " << tool_;
        }
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() / ("pictokens-" + std::to_string(::getpid()) + "-" + info->name());
        fs::create_directories(dir_);
    }

    void TearDown() override {
        if (!dir_.empty()) {
            fs::remove_all(dir_);
        }
    }

    std::string Write(const std::string& name, const std::string& bytes) {
        const fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }

    ToolRun Run(const std::string& arguments) {
        const fs::path errPath = dir_ / "stderr.txt";
        const std::string command = "'" + tool_.string() + "' " + arguments + " 2>'" + errPath.string() + "'";
        ToolRun run;
        std::FILE* pipe = ::popen(command.c_str(), "r");
        if (pipe == nullptr) {
            ADD_FAILURE() << "cannot start " << command;
            return run;
        }
        char buffer[4096];
        std::size_t count = 0;
        while ((count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
            run.out.append(buffer, count);
        }
        const int status = ::pclose(pipe);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::ifstream err(errPath, std::ios::binary);
        run.err.assign(std::istreambuf_iterator<char>(err), std::istreambuf_iterator<char>());
        return run;
    }

    fs::path tool_ = fs::path(KORVEX_BINARY_DIR) / "tools/pictokens/pictokens";
    fs::path dir_;
};

TEST_F(Pictokens, PrintsOneLinePerSourceLineWhateverItsLineEnd) {
    // CR LF, LF, CR, then LF CR (two line ends), and a line end at the very end.
    const std::string file = Write("mixed.asm", "  nop\r\n;c\nH'1F'\r0x1\n\r'a\n");
    const ToolRun run = Run(file);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "00666\n22\n44444\n444\n\n11\n");
}

TEST_F(Pictokens, LastLineNeedsNoLineEndAndEmptyFilesPrintNothing) {
    const std::string last = Write("last.inc", "end\n\nSTATUS EQU H'0003'");
    const std::string empty = Write("empty.inc", "");
    const std::string blank = Write("blank.inc", "\r\n");
    const ToolRun run = Run(last + " " + empty + " " + blank);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "888\n\n3333330fff04444444\n\n");
}

TEST_F(Pictokens, UnreadableFileIsReportedWithStatus2AndOthersStillPrint) {
    const std::string good = Write("good.asm", "nop");
    const ToolRun run = Run("'" + (dir_ / "missing.asm").string() + "' " + good + " '" + dir_.string() + "'");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "666\n");
    EXPECT_EQ(run.err, "pictokens: " + (dir_ / "missing.asm").string() + ": No such file or directory\n" +
                           "pictokens: " + dir_.string() + ": Is a directory\n");
}

TEST_F(Pictokens, PrintsWhatTheWholeTextColouredAtOncePrints) {
    // Mixed line ends, NUL bytes, a CR last, no line end last, and lines longer than any block it reads.
    const std::string texts[] = {
        "  nop\r\n;c\nH'1F'\r0x1\n\r'a\n\n\r\r\n"s,
        "mo\0vlw 0x1F\0;x\0\r\n\0\0"s,
        "  nop\r"s,
        "\r"s,
        "  #define X " + std::string(300'000, 'y') + " ;" + std::string(70'000, 'z') +
            "\r\n  nop\rSTATUS EQU 3",
        std::string(100'000, '\r') + std::string(100'000, '\n') + "db 'it''s'",
    };
    std::string arguments;
    std::string expected;
    for (std::size_t i = 0; i < std::size(texts); ++i) {
        arguments += " " + Write("odd" + std::to_string(i) + ".asm", texts[i]);
        expected += WholeTextClasses(texts[i]);
    }
    const ToolRun run = Run(arguments);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(run.out == expected) << run.out.size() << " bytes printed, " << expected.size()
                                     << " expected";
}

TEST_F(Pictokens, PrintsTheProcessorHeadersAsTheWholeTextPrintsThem) {
    const std::string text = ProcessorHeaders();
    if (text.empty()) {
        GTEST_SKIP() << "gputils headers are not installed";
    }
    const ToolRun run = Run(Write("headers.inc", text));
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.out == WholeTextClasses(text)) << run.out.size() << " bytes printed";
}

TEST_F(Pictokens, AFullDiskIsReportedWithStatus2) {
    if (!fs::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full";
    }
    const ToolRun run = Run(Write("nop.asm", "  nop\n") + " >/dev/full");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("cannot write the output"), std::string::npos) << run.err;
}

TEST_F(Pictokens, NoFileGivesUsageAndStatus2) {
    const ToolRun run = Run("");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("usage"), std::string::npos);
}

TEST_F(Pictokens, ColoursARealHeaderFile) {
    const fs::path header = "/usr/share/gputils/header/p16f84a.inc";
    if (!fs::exists(header)) {
        GTEST_SKIP() << "gputils headers are not installed";
    }
    const ToolRun run = Run(header.string());
    EXPECT_EQ(run.status, 0);
    // "STATUS           EQU  H'0003'"
    EXPECT_NE(run.out.find("\n333333" + std::string(11, '0') + "fff004444444\n"), std::string::npos);
}

}  // namespace
