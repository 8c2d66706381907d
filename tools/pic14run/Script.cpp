// SPDX-License-Identifier: GPL-3.0-or-later
// pic14run's script: one command line at a time against the simulator.
#include "Script.h"

#include "sim/Decoexec.h"
#include "sim/Pic14.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using sim::PicState;
using Args = std::vector<std::string_view>;
using Error = std::optional<std::string>;

std::vector<std::string_view> SplitWords(std::string_view line) {
    line = line.substr(0, line.find('#'));
    std::vector<std::string_view> words;
    size_t pos = 0;
    while (true) {
        pos = line.find_first_not_of(" \t\r", pos);
        if (pos == std::string_view::npos)
            return words;
        const size_t end = std::min(line.find_first_of(" \t\r", pos), line.size());
        words.push_back(line.substr(pos, end - pos));
        pos = end;
    }
}

// Decimal or 0x hexadecimal, no sign, at most max. Sets error and returns 0 otherwise.
uint64_t ParseNumber(std::string_view original, uint64_t max, Error& error) {
    std::string_view text = original;
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    uint64_t value = 0;
    const auto [end, code] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || text[0] == '-' || text[0] == '+' || end != text.data() + text.size() ||
        code == std::errc::invalid_argument) {
        if (!error)
            error = "malformed number '" + std::string(original) + "'";
        return 0;
    }
    if (code == std::errc::result_out_of_range || value > max) {
        if (!error)
            error = "value " + std::string(original) + " out of range (at most " + std::to_string(max) + ")";
        return 0;
    }
    return value;
}

Error ExpectCount(const Args& args, size_t min, size_t max) {
    if (args.size() < min || args.size() > max)
        return "wrong number of arguments";
    return std::nullopt;
}

Error Reset(const Args& args) {
    if (Error error = ExpectCount(args, 0, 0))
        return error;
    sim::ResetProcessor();
    return std::nullopt;
}

// Every word is checked before the first is stored, so a bad line leaves ProgMem untouched.
Error Prog(const Args& args) {
    if (Error error = ExpectCount(args, 2, SIZE_MAX))
        return error;
    Error error;
    const uint64_t address = ParseNumber(args[0], PicState.ProgMem.size() - 1, error);
    std::vector<uint16_t> words;
    for (size_t i = 1; i < args.size(); ++i)
        words.push_back(static_cast<uint16_t>(ParseNumber(args[i], sim::kWordMask, error)));
    if (!error && address + words.size() > PicState.ProgMem.size())
        error = "words run past 0x1FFF";
    if (error)
        return error;
    for (size_t i = 0; i < words.size(); ++i)
        PicState.ProgMem[address + i] = words[i];
    return std::nullopt;
}

Error Reg(const Args& args) {
    if (Error error = ExpectCount(args, 2, 2))
        return error;
    Error error;
    const uint64_t address = ParseNumber(args[0], PicState.Regs.size() - 1, error);
    const uint64_t value = ParseNumber(args[1], 0xFF, error);
    if (error)
        return error;
    PicState.Regs[address].Value = static_cast<uint8_t>(value);
    return std::nullopt;
}

template <typename Field>
Error Assign(Field& field, std::string_view text, uint64_t max) {
    Error error;
    const uint64_t value = ParseNumber(text, max, error);
    if (!error)
        field = static_cast<Field>(value);
    return error;
}

Error Set(const Args& args) {
    if (Error error = ExpectCount(args, 2, 2))
        return error;
    const std::string_view name = args[0];
    if (name == "W")
        return Assign(PicState.W, args[1], 0xFF);
    if (name == "FLAGS")
        return Assign(PicState.Flags, args[1], 0xFF);
    if (name == "SP")
        return Assign(PicState.SP, args[1], sim::kStackSlotMask);
    if (name == "PC")
        return Assign(PicState.PC, args[1], 0xFFFF);
    if (name == "CYCLES")
        return Assign(PicState.Cycles, args[1], UINT32_MAX);
    return "unknown field '" + std::string(name) + "' (W, FLAGS, SP, PC or CYCLES)";
}

Error Stack(const Args& args) {
    if (Error error = ExpectCount(args, 2, 2))
        return error;
    Error error;
    const uint64_t slot = ParseNumber(args[0], PicState.Stack.size() - 1, error);
    const uint64_t value = ParseNumber(args[1], 0xFFFF, error);
    if (error)
        return error;
    PicState.Stack[slot] = static_cast<uint16_t>(value);
    return std::nullopt;
}

Error StepCommand(const Args& args) {
    if (Error error = ExpectCount(args, 0, 1))
        return error;
    Error error;
    const uint64_t count = args.empty() ? 1 : ParseNumber(args[0], UINT64_MAX, error);
    if (error)
        return error;
    sim::RunSteps(count);
    return std::nullopt;
}

Error Dump(const Args& args) {
    if (Error error = ExpectCount(args, 0, 0))
        return error;
    const auto& s = PicState.Stack;
    std::printf("PC=%04X W=%02X FLAGS=%02X SP=%u CYCLES=%u STACK=%04X,%04X,%04X,%04X,%04X,%04X,%04X,%04X\n",
                PicState.PC, PicState.W, PicState.Flags, PicState.SP, PicState.Cycles, s[0], s[1], s[2], s[3],
                s[4], s[5], s[6], s[7]);
    std::printf("REGS");
    for (size_t address = 0; address < PicState.Regs.size(); ++address)
        if (PicState.Regs[address].Value != 0)
            std::printf(" %03zX=%02X", address, PicState.Regs[address].Value);
    std::printf("\n");
    return std::nullopt;
}

// Processor time of this process, so that other work on a shared machine does not count against us.
double ProcessSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

Error Bench(const Args& args) {
    if (Error error = ExpectCount(args, 1, 1))
        return error;
    Error error;
    const uint64_t count = ParseNumber(args[0], UINT64_MAX, error);
    if (error)
        return error;
    const double start = ProcessSeconds();
    sim::RunSteps(count);
    const double seconds = ProcessSeconds() - start;
    const double rate = seconds > 0 ? static_cast<double>(count) / seconds / 1e6 : 0.0;
    std::printf("steps=%llu seconds=%.6f msteps_per_s=%.1f\n", static_cast<unsigned long long>(count),
                seconds, rate);
    return std::nullopt;
}

struct Command {
    std::string_view Name;
    Error (*Run)(const Args& args);
};

constexpr Command kCommands[] = {
    {"reset", &Reset}, {"prog", &Prog},        {"reg", &Reg},   {"set", &Set},
    {"stack", &Stack}, {"step", &StepCommand}, {"dump", &Dump}, {"bench", &Bench},
};

}  // namespace

std::optional<std::string> RunLine(std::string_view line) {
    const std::vector<std::string_view> words = SplitWords(line);
    if (words.empty())
        return std::nullopt;
    for (const Command& command : kCommands)
        if (command.Name == words[0])
            return command.Run(Args(words.begin() + 1, words.end()));
    return "unknown command '" + std::string(words[0]) + "'";
}
