// SPDX-License-Identifier: GPL-3.0-or-later
// The gpasm front end MPASMWIN.EXE on real sources: the switches the build passes, the error file it leaves.
#include "assembler/BuildRun.h"
#include "assembler/ErrorLine.h"
#include "assembler/Explanations.h"
#include "assembler/MpasmOptions.h"

#include "QtPrinters.h"
#include "ScriptedPrompter.h"
#include "HaveTool.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

const QString kFrontEnd = KORVEX_BINARY_DIR "/tools/mpasmwin/MPASMWIN.EXE";

// A project with blanks in its folder name; main file.asm includes lib/io.inc.
const char* kMain =
    "\tlist p=16f84\n"
    "\t#include <p16f84.inc>\n"
    "\t#include \"lib/io.inc\"\n"
    "\torg 0\n"
    "start\tmovlw 5\n"           // 5
    "\tgoto nowhere\n"           // 6: Error[113]
    "\tbsf STATUS,RP0\n"         // 7
    "\tmovwf TRISB\n"            // 8: Message[302]
    "\ttris PORTB\n"             // 9: Warning[224]
    "\tmessg \"hello there\"\n"  // 10: Message[301]
    "\tifndef DEBUG\n"           // 11
    "\terror \"no DEBUG\"\n"     // 12: Error[101] unless /dDEBUG
    "\tendif\n"
    "\tgoto Start\n"  // 14: Error[113] unless /c-
    "\tend\n";
const char* kInclude = "COUNT\tequ 0x0C\n\tmessg \"io ready\"\n";  // 2: Message[301]

class FrontEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!HaveTool("gpasm"))
            GTEST_SKIP() << "gpasm is not installed";
        fs::create_directories(project / "lib");
        std::ofstream(project / "main file.asm") << kMain;
        std::ofstream(project / "lib/io.inc") << kInclude;
    }
    // One build as the IDE runs it; the error file's lines afterwards.
    std::vector<std::string> build(const QString& options, const std::string& source = "main file.asm") {
        EXPECT_EQ(run.RunAndWait(kFrontEnd, AssemblerArguments(options, QString::fromStdString(source)),
                                 QString::fromStdString(project.string())),
                  TBuildRun::Outcome::Ended);
        std::ifstream in(ErrorFilePath(project.string() + "/", source));
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    // "KIND number file:line" of each line, as the message list reads it.
    static std::vector<std::string> summary(const std::vector<std::string>& lines) {
        std::vector<std::string> out;
        for (const std::string& line : lines) {
            TErrorLine e = ScanErrorLine(line);
            out.push_back(line.substr(0, 1) + std::to_string(e.number) + " " + e.file + ":" +
                          std::to_string(e.line));
        }
        return out;
    }

    TempDir dir;
    fs::path project = dir / "my project";
    ScriptedPrompter prompter;
    TBuildRun run{prompter};
};

TEST_F(FrontEnd, ErrorsWarningsAndMessagesLandInTheErrorFileBesideTheSource) {
    std::vector<std::string> lines = build(" /q /e+ /l+ /x- /c+  /p16F84 ");
    EXPECT_EQ(summary(lines), (std::vector<std::string>{"W215 main file.asm:1", "M301 lib/io.inc:2",
                                                        "E113 main file.asm:6", "M302 main file.asm:8",
                                                        "W224 main file.asm:9", "M301 main file.asm:10",
                                                        "E101 main file.asm:12", "E113 main file.asm:14"}));
    EXPECT_EQ(ScanErrorLine(lines[2]).text, "Symbol not previously defined: \"nowhere\"");
    EXPECT_EQ(ExplainMessage(lines[2]), MessageExplanations(MessageKind::Error, 113));
    EXPECT_EQ(MessageFilePath(ScanErrorLine(lines[1]).file, project.string() + "/"),
              (project / "lib/io.inc").string());
    EXPECT_TRUE(fs::exists(project / "main file.lst"));
    EXPECT_EQ(run.output(), "");  // /q: a quiet console, yet a full error file
}

TEST_F(FrontEnd, SwitchesReachGpasm) {
    // /c- ignores letter case, /dDEBUG defines the symbol, /w1 drops the messages, /l- leaves no listing
    std::vector<std::string> lines = build(" /q /e+ /l- /x+ /rdec /w1 /aINHX8M /m- /c- /dDEBUG /p16F84 ");
    EXPECT_EQ(summary(lines), (std::vector<std::string>{"W215 main file.asm:1", "E113 main file.asm:6",
                                                        "W224 main file.asm:9"}));
    EXPECT_FALSE(fs::exists(project / "main file.lst"));
    // /w2: errors only; without /q the console shows what gpasm said
    lines = build(" /e+ /l+ /x- /w2 /c+ /p16F84 ");
    EXPECT_EQ(summary(lines), (std::vector<std::string>{"E113 main file.asm:6", "E101 main file.asm:12",
                                                        "E113 main file.asm:14"}));
    EXPECT_NE(run.output().indexOf("Symbol not previously defined"), -1);
}

TEST_F(FrontEnd, CleanSourceLeavesAnEmptyErrorFile) {
    std::ofstream(project / "ok.asm") << "\tlist p=16f84\n\torg 0\nloop\tgoto loop\n\tend\n";
    // no /p: the source's own processor, so not even the "superseded" warning
    EXPECT_TRUE(build(" /q /e+ /l+ /x- /c-  /p ", "ok.asm").empty());
    EXPECT_TRUE(fs::exists(project / "ok.err"));
    EXPECT_TRUE(fs::exists(project / "ok.hex"));
}

TEST_F(FrontEnd, TheDefaultOptionSetBuildsACleanSource) {
    std::ofstream(project / "plain.asm") << "\torg 0\nloop\tgoto loop\n\tend\n";
    EXPECT_TRUE(build(QString::fromStdString(CommandLineOptions(TMpasmOptions{})), "plain.asm").empty());
    EXPECT_TRUE(fs::exists(project / "plain.hex"));
}

TEST_F(FrontEnd, EveryMessageNamesAFileAndALineWithTheAssemblersNumber) {
    std::ofstream(project / "noend.asm") << "\tlist p=16f84\n\tnop\n\tnop\n";
    std::ofstream(project / "parse.asm") << "\tlist p=16f84\n\tnop\n\tmovlw 1 +\n";
    std::ofstream(project / "opcode.asm") << "\tlist p=16f84\n\tfoo 3\n\tend\n";
    std::ofstream(project / "missing.asm") << "\tlist p=16f84\n\tinclude \"nothere.inc\"\n\tnop\n\tend\n";
    const char* options = " /q /e+ /l- /x- /c+ /p ";
    // no END: gpasm names no place; the source and its last line stand in
    EXPECT_EQ(summary(build(options, "noend.asm")), std::vector<std::string>{"E125 noend.asm:3"});
    // a parser error at the end of the file: the assembler's number, gpasm's text
    std::vector<std::string> lines = build(options, "parse.asm");
    EXPECT_EQ(summary(lines), (std::vector<std::string>{"E108 parse.asm:3", "E125 parse.asm:3"}));
    EXPECT_EQ(ScanErrorLine(lines[0]).text, "Parser error: syntax error");
    EXPECT_EQ(ExplainMessage(lines[0]), MessageExplanations(MessageKind::Error, 108));
    lines = build(options, "opcode.asm");
    EXPECT_EQ(summary(lines), std::vector<std::string>{"E122 opcode.asm:2"});
    EXPECT_EQ(ScanErrorLine(lines[0]).text, "Unknown opcode: \"foo\"");
    // an include that cannot be found is named on its own line
    EXPECT_EQ(summary(build(options, "missing.asm")), std::vector<std::string>{"E105 missing.asm:2"});
}

TEST_F(FrontEnd, AFullPathSourceFindsItsIncludesBesideItAndOutputsLieThere) {
    fs::path elsewhere = dir / "other place" / "v1.2";
    fs::create_directories(elsewhere);
    std::ofstream(elsewhere / "main") << "\tlist p=16f84\n\tinclude \"defs.inc\"\n\tmovlw K\n\tend\n";
    std::ofstream(elsewhere / "defs.inc") << "K\tequ 5\n";
    EXPECT_TRUE(build(" /q /e+ /l+ /x- /c+ /p ", (elsewhere / "main").string()).empty());
    for (const char* output : {"main.hex", "main.lst", "main.cod"})
        EXPECT_TRUE(fs::exists(elsewhere / output)) << output;
    EXPECT_FALSE(fs::exists(dir / "other place" / "v1.hex"));
}

TEST_F(FrontEnd, ItsOwnProblemsBecomeAnErrorLine) {
    std::vector<std::string> lines = build(" /q /e+ /zz /p16F84 ");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "Error[157]   main file.asm 1 : MPASMWIN.EXE: unknown switch \"/zz\"");
    lines = build(" /q /e+ /p16F999 ");
    EXPECT_EQ(summary(lines), std::vector<std::string>{"E157 main file.asm:1"});
    EXPECT_NE(lines[0].find("16F999"), std::string::npos);
    // gpasm missing: the earlier build's messages are gone, the reason stands in their place
    qputenv("KORVEX_GPASM", QByteArray::fromStdString((dir / "no-gpasm").string()));
    lines = build(" /q /e+ /p16F84 ");
    qunsetenv("KORVEX_GPASM");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("gpasm cannot be run"), std::string::npos);
}

}  // namespace
