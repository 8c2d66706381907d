// SPDX-License-Identifier: GPL-3.0-or-later
// The example projects: each builds through the gpasm front end without a message into the expected
// Intel HEX file, and on a first run from the build tree Project > Build works at once.
#include "assembler/BuildRun.h"
#include "assembler/MpasmOptions.h"
#include "platform/ProfileFile.h"
#include "shell/Idefunction.h"
#include "shell/Main.h"
#include "shell/ProW.h"
#include "shell/Project.h"
#include "shell/Startup.h"

#include "QtPrinters.h"
#include "ScriptedPrompter.h"
#include "HaveTool.h"
#include "TempDir.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QFileInfo>
#include <QListView>

#include <cstdint>
#include <filesystem>
#include <map>
#include <sstream>

namespace {

namespace fs = std::filesystem;

const QString kFrontEnd = KORVEX_BINARY_DIR "/tools/mpasmwin/MPASMWIN.EXE";

QString Q(const fs::path& path) {
    return QString::fromStdString(path.string());
}

// An Intel HEX file read into bytes by address; `problem` says what is wrong with it, empty when nothing.
struct HexImage {
    std::map<uint32_t, uint8_t> bytes;
    std::string problem;

    // The 14-bit word at a word address, as the programmer writes it: low byte first.
    int word(uint32_t address) const {
        auto low = bytes.find(2 * address), high = bytes.find(2 * address + 1);
        return low == bytes.end() || high == bytes.end() ? -1 : low->second | high->second << 8;
    }
};

HexImage ReadHex(const std::string& text) {
    HexImage hex;
    std::istringstream in(text);
    uint32_t base = 0;
    bool ended = false;
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::string where = "line " + std::to_string(number) + ": ";
        if (ended)
            return hex.problem = where + "a record after the end record", hex;
        if (line.size() < 11 || line[0] != ':' || line.size() % 2 == 0 ||
            line.find_first_not_of("0123456789ABCDEF", 1) != std::string::npos)
            return hex.problem = where + "not a record: " + line, hex;
        std::vector<uint8_t> record;
        for (size_t i = 1; i < line.size(); i += 2)
            record.push_back(uint8_t(std::stoi(line.substr(i, 2), nullptr, 16)));
        uint8_t sum = 0;
        for (uint8_t b : record)
            sum = uint8_t(sum + b);
        if (sum != 0)
            return hex.problem = where + "wrong checksum", hex;
        if (record[0] + 5u != record.size())
            return hex.problem = where + "wrong length", hex;
        uint32_t address = base + (uint32_t(record[1]) << 8 | record[2]);
        switch (record[3]) {
            case 0:
                for (size_t i = 0; i < record[0]; ++i)
                    hex.bytes[address + uint32_t(i)] = record[4 + i];
                break;
            case 1:
                ended = true;
                break;
            case 4:
                base = (uint32_t(record[4]) << 8 | record[5]) << 16;
                break;
            default:
                return hex.problem = where + "unexpected record type", hex;
        }
    }
    if (!ended)
        hex.problem = "no end record";
    return hex;
}

struct Example {
    std::string folder;
    std::string project;
    std::string processor;
    std::vector<std::string> files;
    std::vector<int> firstWords;  // from address 0
    int config;                   // the configuration word at 0x2007
};

// named by its folder in the test's name and its failures
void PrintTo(const Example& example, std::ostream* out) {
    *out << example.folder;
}

const Example kBlink{"blink",
                     "blink.pro",
                     "16F84A",
                     {"blink.asm"},
                     // bsf STATUS,RP0; clrf TRISB; bcf STATUS,RP0; clrf PORTB; movlw 1; xorwf PORTB,F
                     {0x1683, 0x0186, 0x1283, 0x0186, 0x3001, 0x0686},
                     0x3FF1};
const Example kCounter{"counter",
                       "counter.pro",
                       "16F877A",
                       {"counter.asm", "delay.inc"},
                       // bsf STATUS,RP0; clrf TRISB; bcf STATUS,RP0; clrf Count; movf Count,W; movwf PORTB;
                       // call Delay (0x009)
                       {0x1683, 0x0186, 0x1283, 0x01A0, 0x0820, 0x0086, 0x2009},
                       0x3F31};

class Examples : public ::testing::TestWithParam<Example> {
  protected:
    void SetUp() override {
        if (!HaveTool("gpasm"))
            GTEST_SKIP() << "gpasm is not installed";
        // a copy, so the build's outputs stay out of the source tree
        fs::copy(fs::path(KORVEX_SOURCE_DIR) / "examples" / GetParam().folder, project,
                 fs::copy_options::recursive);
    }

    TempDir dir;
    fs::path project = dir / "my examples";
    ScriptedPrompter prompter;
};

TEST_P(Examples, BuildsWithoutAMessageIntoTheExpectedHexFile) {
    const Example& example = GetParam();
    ProfileFile file(project / example.project);
    TProjectSettings settings = ReadProjectSettings(file);
    ASSERT_EQ(settings.format, 1);
    EXPECT_EQ(settings.options.Processor, example.processor);
    TProjectFiles files = ReadProjectFiles(file);
    ASSERT_EQ(files.files, example.files);

    TBuildRun run(prompter);
    QString first = QString::fromStdString(files.files.front());
    ASSERT_EQ(run.RunAndWait(
                  kFrontEnd,
                  AssemblerArguments(QString::fromStdString(CommandLineOptions(settings.options)), first),
                  Q(project)),
              TBuildRun::Outcome::Ended);
    EXPECT_EQ(run.exitCode(), 0) << run.output().toStdString();
    std::string stem = fs::path(example.files.front()).stem().string();
    EXPECT_EQ(ReadAll(project / (stem + ".err")), "");

    HexImage hex = ReadHex(ReadAll(project / (stem + ".hex")));
    ASSERT_EQ(hex.problem, "");
    for (size_t i = 0; i < example.firstWords.size(); ++i)
        EXPECT_EQ(hex.word(uint32_t(i)), example.firstWords[i]) << "word " << i;
    EXPECT_EQ(hex.word(0x2007), example.config);
}

INSTANTIATE_TEST_SUITE_P(Both, Examples, ::testing::Values(kBlink, kCounter),
                         [](const auto& info) { return info.param.folder; });

// Out of the box: no settings, the program in the build tree; the blink example builds at once, and a
// broken line shows its message.
TEST(FirstRunFromTheBuildTree, BuildsTheBlinkExampleAtOnceAndShowsABrokenLinesMessage) {
    if (!HaveTool("gpasm"))
        GTEST_SKIP() << "gpasm is not installed";
    TempDir dir;
    fs::path project = dir / "blink";
    fs::copy(fs::path(KORVEX_SOURCE_DIR) / "examples" / "blink", project, fs::copy_options::recursive);
    ScriptedPrompter prompter;
    TKorvex korvex(dir / "config", prompter, KORVEX_BINARY_DIR "/src/app");
    EXPECT_EQ(QString::fromStdString(korvex.settings.AssemblerPath), QFileInfo(kFrontEnd).absoluteFilePath());

    prompter.willChooseFile(Q(project / "blink.pro"));
    MainForm->ProjectOpen->trigger();
    prompter.expectInformation("Build succeeded: blink.hex");
    MainForm->ProjectBuild->trigger();
    EXPECT_TRUE(prompter.allAnswered());
    EXPECT_EQ(ReadHex(ReadAll(project / "blink.hex")).problem, "");

    std::string source = ReadAll(project / "blink.asm");
    size_t at = source.find("goto    Loop");
    ASSERT_NE(at, std::string::npos);
    WriteAll(project / "blink.asm", source.replace(at, 12, "goto    Lop"));
    MainForm->ProjectBuild->trigger();
    ASSERT_EQ(ProWindow->MessageList->model()->rowCount(), 1) << ReadAll(project / "blink.err");
    QString message = ProWindow->MessageList->model()->index(0, 0).data().toString();
    EXPECT_TRUE(message.startsWith("Error[113]")) << message.toStdString();
    EXPECT_TRUE(message.contains("\"Lop\"")) << message.toStdString();
}

}  // namespace
