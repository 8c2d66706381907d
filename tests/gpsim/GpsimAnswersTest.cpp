// SPDX-License-Identifier: GPL-3.0-or-later
// gpsim's answers, read from transcripts recorded from the real gpsim 0.31 in command-line mode.
#include "gpsim/GpsimAnswers.h"

#include "GpsimFixture.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace {

std::string Transcript(const std::string& name) {
    return ReadAll(kGpsimData / name);
}

// Feeds a transcript in pieces of `piece` bytes, as a pipe may deliver it, after the commands were sent.
std::vector<GpsimConversation::Answer> Converse(const std::string& name, const std::vector<std::string>& sent,
                                                size_t piece, std::string* loose = nullptr) {
    GpsimConversation conversation;
    for (const std::string& command : sent)
        conversation.Sent(command);
    std::string text = Transcript(name);
    std::vector<GpsimConversation::Answer> answers;
    for (size_t at = 0; at < text.size(); at += piece)
        for (auto& answer : conversation.Feed(std::string_view(text).substr(at, piece)))
            answers.push_back(std::move(answer));
    if (loose)
        *loose = conversation.TakeLoose();
    return answers;
}

const std::vector<std::string> kBreakCommands = {
    "load main877a.cod", "break e 0x13", "break", "run", "x", "cycles", "run", "x", "cycles", "quit"};

TEST(GpsimConversation, PairsEachAnswerWithItsCommandWhateverThePieces) {
    for (size_t piece : {size_t(1), size_t(7), size_t(4096)}) {
        std::string loose;
        auto answers = Converse("break877a.txt", kBreakCommands, piece, &loose);
        ASSERT_EQ(answers.size(), 9u) << "piece " << piece;  // quit has no prompt after it
        for (size_t i = 0; i < answers.size(); ++i)
            EXPECT_EQ(answers[i].command, kBreakCommands[i]);
        EXPECT_EQ(answers[0].text, "Disabling WDT\n");
        // the banner is loose output; the command line gpsim shows again after each run is dropped
        EXPECT_NE(loose.find("gpsim - the GNUPIC simulator"), std::string::npos);
        EXPECT_EQ(loose.find("run"), std::string::npos);
    }
}

TEST(GpsimConversation, AFloodWithoutAPromptEndsTheConversationAndKeepsNothing) {
    GpsimConversation conversation;
    conversation.Sent("processor list");
    std::string chunk(64 * 1024, 'y');
    size_t fed = 0;
    while (!conversation.overflowed() && fed < 2 * kMaxGpsimAnswer) {
        EXPECT_TRUE(conversation.Feed(chunk).empty());
        fed += chunk.size();
    }
    EXPECT_TRUE(conversation.overflowed());
    EXPECT_LE(fed, kMaxGpsimAnswer + chunk.size());
    EXPECT_TRUE(conversation.open().empty());  // the flood is not kept
    EXPECT_TRUE(conversation.Feed("processor list\npic16f84\n**gpsim> ").empty());
}

TEST(GpsimConversation, LooseOutputIsKeptToItsEnd) {
    // a gpsim that answers nothing it is asked but prompts again and again
    GpsimConversation conversation;
    std::string said;
    for (int i = 0; i < 5000; ++i)
        said += "noise " + std::to_string(i) + "\n**gpsim> ";
    conversation.Feed(said);
    std::string loose = conversation.TakeLoose();
    EXPECT_LE(loose.size(), GpsimConversation::kMaxLoose);
    EXPECT_TRUE(loose.ends_with("noise 4999\n"));
}

TEST(GpsimConversation, RunEndsAtTheBreakpointOrAtCtrlC) {
    auto answers = Converse("break877a.txt", kBreakCommands, 64);
    EXPECT_EQ(ParseRunEnd(answers[3].text), RunEnd::Breakpoint);
    EXPECT_EQ(ParseRunEnd(answers[6].text), RunEnd::Interrupted);
    EXPECT_EQ(ParseRunEnd(answers[4].text), RunEnd::Other);
}

TEST(GpsimConversation, ACtrlCThatFoundGpsimWaitingIsLooseOutput) {
    // a Stop that comes just after the run ended by itself reaches gpsim at its prompt
    const std::vector<std::string> sent = {"load main877a.cod", "pc", "pc", "step", "quit"};
    std::string loose;
    auto answers = Converse("stray-interrupt.txt", sent, 5, &loose);
    ASSERT_EQ(answers.size(), 4u);
    EXPECT_EQ(answers[2].command, "pc");
    EXPECT_EQ(answers[2].text, "pc = 0x0\n");
    EXPECT_TRUE(answers[3].text.starts_with("0x0000000000000000 p16f877a 0x0000 0x2810 goto"));
    EXPECT_NE(loose.find("<CTRL C> break\n"), std::string::npos);
}

TEST(GpsimAnswers, ExamineAtTheBreakpointAfterTheSubroutine) {
    auto answers = Converse("break877a.txt", kBreakCommands, 4096);
    auto examine = ParseExamine(answers[4].text);
    ASSERT_TRUE(examine);
    EXPECT_EQ(examine->pc, 0x13u);             // movwf result, after the call returned
    EXPECT_EQ(examine->W, 0x06);               // 3 doubled
    EXPECT_EQ(examine->Register(0x20), 0x03);  // value
    EXPECT_EQ(examine->Register(0x03), 0x18);  // STATUS: /TO and /PD
    EXPECT_EQ(examine->Register(0x8F), -1);    // no register there on the 16F877A
    EXPECT_EQ(examine->memory.size(), 0x200u);
    EXPECT_EQ(ParseCycles(answers[5].text), 10u);
    // after Ctrl+C in the endless loop
    EXPECT_EQ(ParseExamine(answers[7].text)->pc, 0x15u);
    EXPECT_EQ(ParseCycles(answers[8].text), 10952434u);
}

TEST(GpsimAnswers, BreakListGivesGpsimsNumbers) {
    auto answers = Converse("break877a.txt", kBreakCommands, 4096);
    auto breaks = ParseBreakList(answers[2].text);
    ASSERT_EQ(breaks.size(), 1u);
    EXPECT_EQ(breaks.at(0x13), 0);
    EXPECT_TRUE(ParseBreakList("Internal Cycle counter break points\n").empty());
}

TEST(GpsimAnswers, CycleAndRegisterBreaksByNumber) {
    // as gpsim 0.31 lists them; the internal cycle breaks below the list are not the user's
    const char* listing =
        "0: cycle 0x38d7ea4c68000  = 1000000000000000\n"
        "1:  register write: reg(0xc)\n"
        "    Expr:(12==$05)\n"
        "2: p16f84 Execution at line_0003(0x3)\n"
        "4: cycle 0xc8  = 200\n"
        "Internal Cycle counter break points\n"
        "Current Cycle 0000000000000015\n"
        "internal cycle break  00000000000000c8 does not have callback\n";
    std::vector<GpsimBreak> breaks = ParseOtherBreaks(listing);
    ASSERT_EQ(breaks.size(), 3u);
    EXPECT_EQ(breaks[0].number, 0);
    EXPECT_EQ(breaks[0].cycle, 1000000000000000u);
    EXPECT_EQ(breaks[1].number, 1);
    EXPECT_EQ(breaks[1].kind, GpsimBreak::Kind::Register);
    EXPECT_EQ(breaks[2].number, 4);
    EXPECT_EQ(breaks[2].cycle, 200u);
    EXPECT_EQ(ParseBreakList(listing).at(3), 2);  // the execution break is the other parser's
    // a run that a cycle break ended says which
    EXPECT_EQ(ParseCycleBreakHit("running...\ncycle break: 0x64 = 100\n0x0000000000000064 p16f84 0x000A"), 100u);
    EXPECT_FALSE(ParseCycleBreakHit("running...\nHit a Breakpoint!\n"));
    EXPECT_FALSE(ParseCycleBreakHit("cycle break: 0x64 ="));
}

TEST(GpsimAnswers, ProcessorListAndClock) {
    const std::vector<std::string> sent = {
        "processor list", "load main877a.cod", "frequency", "x", "cycles", "step", "x", "cycles", "quit"};
    auto answers = Converse("start877a.txt", sent, 4096);
    ASSERT_EQ(answers.size(), 8u);
    auto parts = ParseProcessorList(answers[0].text);
    EXPECT_NE(std::find(parts.begin(), parts.end(), "pic16f84"), parts.end());
    EXPECT_NE(std::find(parts.begin(), parts.end(), "pic16f877a"), parts.end());
    EXPECT_EQ(std::find(parts.begin(), parts.end(), "pic16f84a"), parts.end());
    EXPECT_EQ(ParseFrequency(answers[2].text), 20e6);
    EXPECT_EQ(ParseExamine(answers[3].text)->pc, 0u);
    EXPECT_EQ(ParseExamine(answers[6].text)->pc, 0x10u);  // goto start
    EXPECT_EQ(ParseCycles(answers[7].text), 2u);          // a GOTO takes two cycles
    EXPECT_TRUE(LoadFailure(answers[1].text).empty());
}

TEST(GpsimAnswers, MissingPartIsALoadFailureAndTheCompatibleOneLoads) {
    const std::vector<std::string> sent = {"load count84a.cod", "processor pic16f84", "load count84a.cod",
                                           "x", "quit"};
    auto answers = Converse("start84a.txt", sent, 4096);
    ASSERT_EQ(answers.size(), 4u);
    EXPECT_EQ(LoadFailure(answers[0].text), "p16f84a is not a valid processor.");
    EXPECT_TRUE(LoadFailure(answers[2].text).empty());
    auto examine = ParseExamine(answers[3].text);
    ASSERT_TRUE(examine);
    EXPECT_EQ(examine->Register(0x07), -1);  // the 16F84 has no PORTC
    EXPECT_EQ(examine->Register(0x0C), 0);
}

TEST(GpsimAnswers, PartNames) {
    std::vector<std::string> known = {"pic16f84", "pic16f877a", "pic16f628a"};
    bool substituted = true;
    EXPECT_EQ(GpsimPart("16f877a", known, substituted), "pic16f877a");
    EXPECT_FALSE(substituted);
    EXPECT_EQ(GpsimPart("16F84A", known, substituted), "pic16f84");
    EXPECT_TRUE(substituted);
    EXPECT_EQ(GpsimPart("16f1939", known, substituted), "");
}

TEST(GpsimAnswers, FrequencyUnits) {
    EXPECT_EQ(ParseFrequency("Clock frequency: 4 MHz.\n"), 4e6);
    EXPECT_EQ(ParseFrequency("Clock frequency: 32.768 kHz.\n"), 32768.0);
    EXPECT_FALSE(ParseFrequency("20000000.00000000\n"));
}

}  // namespace

TEST(GpsimAnswers, ADumpIsReadByAddressWithGapsAsNone) {
    // "dump e" of a 16F84A, and "dump" of one: a row left out and a "--" cell are no register
    std::vector<int> eeprom = ParseDump(
        "       00 01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f\n"
        "0000:  01 02 03 00 00 a5 00 00 00 00 00 00 00 00 00 00    ................\n"
        "0010:  00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00    ................\n");
    ASSERT_EQ(eeprom.size(), 32u);
    EXPECT_EQ(eeprom[5], 0xA5);
    std::vector<int> ram = ParseDump(
        "0000:  00 00 01 18 00 00 00 -- 00 00 00 00 00 00 00 00    ................\n"
        "\n"
        "0080:  00 ff 01 18 00 3f ff -- 00 00 00 00 00 00 00 00    .....?..........\n"
        "ffffffff PC      = 00   003 status  = 18\n");
    ASSERT_EQ(ram.size(), 0x90u);
    EXPECT_EQ(ram[7], -1);
    EXPECT_EQ(ram[0x40], -1);  // between the rows shown
    EXPECT_EQ(ram[0x81], 0xFF);
    EXPECT_TRUE(ParseDump("").empty());  // a part without EEPROM answers nothing
    EXPECT_TRUE(ParseDump("No cpu has been selected\n").empty());
}

TEST(GpsimAnswers, ProgramMemoryIsReadFromItsRunsToTheLastWord) {
    // a 16F84A with two NOPs at 0 and three words at the end of its 1K words
    std::vector<uint16_t> words = ParseProgramMemory(
        "romData[$0..$2]     = $0000\n"
        "romData[$2..$3fd]   = $3fff\n"
        "romData[$3fd..$3fe] = $2800\n"
        "romData[$3fe..$3ff] = $3001\n"
        "romData[$3ff]       = $3002\n");
    ASSERT_EQ(words.size(), 0x400u);
    EXPECT_EQ(words[1], 0x0000);
    EXPECT_EQ(words[2], 0x3FFF);
    EXPECT_EQ(words[0x3FC], 0x3FFF);
    EXPECT_EQ(words[0x3FD], 0x2800);
    EXPECT_EQ(words[0x3FF], 0x3002);
    // the 16F877A's last run ends at its last word, 0x1FFF; gpsim puts NUL bytes before the '='
    using namespace std::string_literals;
    words = ParseProgramMemory("romData[$0..$1]\0     = $1683\nromData[$1..$1fff]\0 = $3fff\0\n"s);
    ASSERT_EQ(words.size(), 0x2000u);
    EXPECT_EQ(words[0], 0x1683);
    EXPECT_EQ(words[0x1FFF], 0x3FFF);
    // a gap, runs out of order, a word past 14 bits or an address past 8K words: not program memory
    EXPECT_TRUE(ParseProgramMemory("romData[$1..$2] = $0000\nromData[$2] = $0000\n").empty());
    EXPECT_TRUE(ParseProgramMemory("romData[$0..$4] = $0000\nromData[$2] = $0000\n").empty());
    EXPECT_TRUE(ParseProgramMemory("romData[$0] = $ffff\n").empty());
    EXPECT_TRUE(ParseProgramMemory("romData[$0..$ffffffff] = $0000\n").empty());
    EXPECT_TRUE(ParseProgramMemory("Error: Index 8192 is out of range\n").empty());
}
