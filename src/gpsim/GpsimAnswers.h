// SPDX-License-Identifier: GPL-3.0-or-later
// gpsim's command-line mode as a conversation: its output cut into answers at the "**gpsim> " prompt, and
// the answers read (registers, cycle count, breakpoints, processors).
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::string_view kGpsimPrompt = "**gpsim> ";
// No answer Korvex asks for comes near this (the register dump of the largest part is a few KB): more
// output without a prompt is a gpsim gone wrong.
inline constexpr size_t kMaxGpsimAnswer = 4 * 1024 * 1024;

// Pairs gpsim's output with the commands written to it. gpsim echoes each command line it reads before its
// answer, so an answer is the text between a prompt and the next that begins with its command's echo.
// Whatever else comes between prompts (the banner, load messages, the command line gpsim shows again after
// a run ends) is kept as loose output.
class GpsimConversation {
  public:
    struct Answer {
        std::string command;
        std::string text;  // without the echo and the prompt
    };
    // A command was written; its answer is awaited.
    void Sent(std::string command) { pending_.push_back(std::move(command)); }
    // Takes more output; returns the answers it completed, in order. Each byte is looked at a bounded
    // number of times. Once more than kMaxGpsimAnswer bytes come without a prompt, the conversation is over:
    // overflowed() says so and nothing more is kept.
    std::vector<Answer> Feed(std::string_view output);
    bool overflowed() const { return overflowed_; }
    size_t Pending() const { return pending_.size(); }
    // Output that answered no command since the last call (its last kMaxLoose bytes), then forgotten.
    std::string TakeLoose();
    // What gpsim printed after the last prompt, not yet an answer (its first line says what went wrong).
    std::string_view open() const { return std::string_view(buffer_).substr(start_); }

    static constexpr size_t kMaxLoose = 64 * 1024;

  private:
    void Take(std::string chunk, std::vector<Answer>& answers);
    void AddLoose(std::string_view text);

    std::deque<std::string> pending_;
    std::string buffer_;
    size_t start_ = 0;    // where the open answer begins in buffer_
    size_t scanned_ = 0;  // where the search for the next prompt begins
    bool overflowed_ = false;
    std::string loose_;
    std::string lastCommand_;
};

// The answer of "x" without arguments: the file registers, W and the PC.
struct GpsimExamine {
    std::vector<int> memory;  // by address; -1 where gpsim shows "--" (no register)
    int W = 0;
    uint32_t pc = 0;
    int Register(uint32_t address) const { return address < memory.size() ? memory[address] : -1; }
};
std::optional<GpsimExamine> ParseExamine(std::string_view text);
// The hex grid of "dump" or "dump e": every cell by address from 0, -1 where gpsim shows "--" or no row.
// Lines that are no grid row are passed over; empty when there is none (a part without EEPROM prints nothing).
std::vector<int> ParseDump(std::string_view text);

// "romData" lists program memory in runs of one word: "romData[$0..$2] = $0000" is the word at 0 and 1 (each
// run ends where the next begins), the last run ends at its second address, included: "romData[$12..$1fff]
// = $3fff", or "romData[$3ff] = $3002". Every word by address, as many as the part has; empty when the text
// is none, or names more than kMaxProgramWords.
inline constexpr uint32_t kMaxProgramWords = 0x2000;  // 8K words, the most a 14-bit core addresses
std::vector<uint16_t> ParseProgramMemory(std::string_view text);

// "cycles" answers "6 = 0x00000006".
std::optional<uint64_t> ParseCycles(std::string_view text);
// "frequency" answers "Clock frequency: 20 MHz."; the frequency in Hz.
std::optional<double> ParseFrequency(std::string_view text);
// "processor list": the part names ("pic16f84", ...).
std::vector<std::string> ParseProcessorList(std::string_view text);
// "break" without arguments: the number of each execution breakpoint, by program address.
std::map<uint32_t, int> ParseBreakList(std::string_view text);
// The other breakpoints of that list: cycle breaks ("2: cycle 0x186a0  = 100000") with their cycle, and
// register breaks ("1:  register write: reg(0xc)"), by number.
struct GpsimBreak {
    enum class Kind { Cycle, Register };
    int number = 0;
    Kind kind = Kind::Cycle;
    uint64_t cycle = 0;
};
std::vector<GpsimBreak> ParseOtherBreaks(std::string_view text);

// The cycle of the cycle break that ended a run ("cycle break: 0x64 = 100"); none when none did.
std::optional<uint64_t> ParseCycleBreakHit(std::string_view text);

// How a run or a step over ended.
enum class RunEnd { Breakpoint, Interrupted, Other };
RunEnd ParseRunEnd(std::string_view text);

// A load that failed says why; empty when the load went well.
std::string LoadFailure(std::string_view text);

// The gpsim part for an assembler processor name ("16F84A" -> "pic16f84a") when gpsim knows it, else the
// compatible part it knows ("pic16f84" for the 16F84A), else empty. `substituted` tells which.
std::string GpsimPart(std::string_view processor, const std::vector<std::string>& known, bool& substituted);
