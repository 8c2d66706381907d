// SPDX-License-Identifier: GPL-3.0-or-later
// Cutting gpsim's output into answers and reading them.
#include "gpsim/GpsimAnswers.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <sstream>

namespace {

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return lower;
}

std::optional<uint64_t> Number(std::string_view text, int base) {
    uint64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end == text.data())
        return std::nullopt;
    return value;
}

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        size_t end = text.find('\n');
        lines.push_back(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    }
    return lines;
}

// A line of the register dump: "0020:  03 00 -- ..." (sixteen values after the address).
bool ReadDumpLine(std::string_view line, std::vector<int>& memory) {
    size_t colon = line.find(':');
    if (colon != 4)
        return false;
    auto base = Number(line.substr(0, 4), 16);
    if (!base)
        return false;
    std::string_view values = line.substr(colon + 1);
    for (size_t i = 0; i < 16; ++i) {
        std::string_view cell = values.size() >= 3 * i + 4 ? values.substr(3 * i + 2, 2) : std::string_view{};
        if (cell.empty())
            return false;
        if (memory.size() < *base + i + 1)
            memory.resize(*base + i + 1, -1);
        auto value = cell == "--" ? std::optional<uint64_t>() : Number(cell, 16);
        memory[*base + i] = value ? int(*value) : -1;
    }
    return true;
}

}  // namespace

std::vector<GpsimConversation::Answer> GpsimConversation::Feed(std::string_view output) {
    std::vector<Answer> answers;
    if (overflowed_)
        return answers;
    buffer_.append(output);
    // each byte is searched once: a prompt that began in the last chunk is found from just before its end
    size_t from = scanned_;
    size_t cut;
    while ((cut = buffer_.find(kGpsimPrompt, from)) != std::string::npos) {
        Take(buffer_.substr(start_, cut - start_), answers);
        start_ = from = cut + kGpsimPrompt.size();
    }
    scanned_ = std::max(start_, buffer_.size() - std::min(buffer_.size(), kGpsimPrompt.size() - 1));
    if (buffer_.size() - start_ > kMaxGpsimAnswer) {
        overflowed_ = true;
        buffer_.clear();
        start_ = scanned_ = 0;
        return answers;
    }
    // what was taken goes once it is more than what is still open, so the buffer is copied in linear time
    if (start_ > 0 && start_ >= buffer_.size() - start_) {
        buffer_.erase(0, start_);
        scanned_ -= start_;
        start_ = 0;
    }
    return answers;
}

void GpsimConversation::Take(std::string chunk, std::vector<Answer>& answers) {
    // the list of processors ends in a NUL byte
    chunk.erase(std::remove(chunk.begin(), chunk.end(), '\0'), chunk.end());
    if (!pending_.empty()) {
        const std::string& echo = pending_.front();
        // the echo starts a line: a Ctrl+C that found gpsim waiting leaves "<CTRL C> break" before it
        size_t at = chunk == echo ? 0 : chunk.find(echo + "\n");
        while (at != std::string::npos && at > 0 && chunk[at - 1] != '\n')
            at = chunk.find(echo + "\n", at + 1);
        if (at != std::string::npos) {
            AddLoose(std::string_view(chunk).substr(0, at));
            answers.push_back({echo, chunk.substr(std::min(chunk.size(), at + echo.size() + 1))});
            lastCommand_ = echo;
            pending_.pop_front();
            return;
        }
    }
    // after a run ends gpsim shows the command line again, with a prompt of its own
    if (chunk == lastCommand_)
        return;
    AddLoose(chunk);
}

void GpsimConversation::AddLoose(std::string_view text) {
    // only the end of what answered nothing is of use (the last words before something went wrong)
    loose_.append(text.substr(text.size() - std::min(text.size(), kMaxLoose)));
    if (loose_.size() > kMaxLoose)
        loose_.erase(0, loose_.size() - kMaxLoose);
}

std::string GpsimConversation::TakeLoose() {
    std::string loose;
    loose.swap(loose_);
    return loose;
}

std::optional<GpsimExamine> ParseExamine(std::string_view text) {
    GpsimExamine examine;
    bool haveW = false, havePc = false;
    for (std::string_view line : Lines(text)) {
        if (ReadDumpLine(line, examine.memory))
            continue;
        if (line.starts_with("W = ")) {
            auto value = Number(line.substr(4), 16);
            haveW = value.has_value();
            examine.W = int(value.value_or(0));
        } else if (line.starts_with("pc = 0x")) {
            auto value = Number(line.substr(7), 16);
            havePc = value.has_value();
            examine.pc = uint32_t(value.value_or(0));
        }
    }
    if (!haveW || !havePc || examine.memory.empty())
        return std::nullopt;
    return examine;
}

std::vector<int> ParseDump(std::string_view text) {
    std::vector<int> memory;
    for (std::string_view line : Lines(text))
        ReadDumpLine(line, memory);
    return memory;
}

namespace {

struct RomRun {
    uint32_t first = 0;
    uint32_t last = 0;  // as printed: the next run's first, or this run's last word for the last one
    uint16_t word = 0;
};

// "romData[$12..$1fff]\0 = $3fff" (gpsim puts NUL bytes in it) or "romData[$3ff] = $3002".
std::optional<RomRun> ReadRomRun(std::string_view line) {
    constexpr std::string_view kLead = "romData[$";
    if (!line.starts_with(kLead))
        return std::nullopt;
    line.remove_prefix(kLead.size());
    size_t close = line.find(']');
    size_t equals = line.find("= $");
    if (close == std::string_view::npos || equals == std::string_view::npos || equals < close)
        return std::nullopt;
    std::string_view range = line.substr(0, close);
    size_t dots = range.find("..$");
    auto first = Number(range.substr(0, dots), 16);
    auto last = dots == std::string_view::npos ? first : Number(range.substr(dots + 3), 16);
    auto word = Number(line.substr(equals + 3), 16);
    if (!first || !last || !word || *last < *first || *last >= kMaxProgramWords || *word > 0x3FFF)
        return std::nullopt;
    return RomRun{uint32_t(*first), uint32_t(*last), uint16_t(*word)};
}

}  // namespace

std::vector<uint16_t> ParseProgramMemory(std::string_view text) {
    std::vector<RomRun> runs;
    for (std::string_view line : Lines(text))
        if (auto run = ReadRomRun(line))
            runs.push_back(*run);
    std::vector<uint16_t> words;
    for (size_t i = 0; i < runs.size(); ++i) {
        bool final = i + 1 == runs.size();
        uint32_t end = final ? runs[i].last + 1 : runs[i + 1].first;
        if (runs[i].first != words.size() || end <= runs[i].first || (!final && runs[i].last != end))
            return {};  // runs out of order or with gaps: not a listing of program memory
        words.resize(end, runs[i].word);
    }
    return words;
}

std::optional<uint64_t> ParseCycles(std::string_view text) {
    size_t start = text.find_first_of("0123456789");
    size_t equals = text.find(" = ");
    if (start == std::string_view::npos || equals == std::string_view::npos || start > equals)
        return std::nullopt;
    return Number(text.substr(start, equals - start), 10);
}

std::optional<double> ParseFrequency(std::string_view text) {
    constexpr std::string_view kLead = "Clock frequency: ";
    size_t at = text.find(kLead);
    if (at == std::string_view::npos)
        return std::nullopt;
    std::istringstream in{std::string(text.substr(at + kLead.size()))};
    double value = 0;
    std::string unit;
    if (!(in >> value >> unit) || value <= 0)
        return std::nullopt;
    unit = Lower(unit);
    double scale = unit.starts_with("mhz")   ? 1e6
                   : unit.starts_with("khz") ? 1e3
                   : unit.starts_with("hz")  ? 1
                                             : 0;
    if (scale == 0)
        return std::nullopt;
    return value * scale;
}

std::vector<std::string> ParseProcessorList(std::string_view text) {
    std::vector<std::string> names;
    std::istringstream in{std::string(text)};
    std::string word;
    while (in >> word)
        if (word.starts_with("pic"))
            names.push_back(word);
    return names;
}

std::map<uint32_t, int> ParseBreakList(std::string_view text) {
    // "0: p16f877a Execution at line_0013(0x13)"
    std::map<uint32_t, int> breaks;
    for (std::string_view line : Lines(text)) {
        size_t colon = line.find(": ");
        size_t open = line.rfind("(0x");
        if (colon == std::string_view::npos || open == std::string_view::npos ||
            line.find("Execution at") == std::string_view::npos)
            continue;
        auto number = Number(line.substr(0, colon), 10);
        auto address = Number(line.substr(open + 3), 16);
        if (number && address)
            breaks[uint32_t(*address)] = int(*number);
    }
    return breaks;
}

std::vector<GpsimBreak> ParseOtherBreaks(std::string_view text) {
    std::vector<GpsimBreak> breaks;
    for (std::string_view line : Lines(text)) {
        size_t colon = line.find(": ");
        if (colon == std::string_view::npos || colon == 0)
            continue;
        auto number = Number(line.substr(0, colon), 10);
        if (!number || *number > 0xFFFF)
            continue;
        std::string_view rest = line.substr(colon + 2);
        while (!rest.empty() && rest.front() == ' ')
            rest.remove_prefix(1);
        if (rest.starts_with("cycle ")) {
            size_t equals = rest.find("= ");
            auto cycle = equals == std::string_view::npos ? std::nullopt : Number(rest.substr(equals + 2), 10);
            if (cycle)
                breaks.push_back({int(*number), GpsimBreak::Kind::Cycle, *cycle});
        } else if (rest.starts_with("register ")) {
            breaks.push_back({int(*number), GpsimBreak::Kind::Register, 0});
        }
    }
    return breaks;
}

std::optional<uint64_t> ParseCycleBreakHit(std::string_view text) {
    size_t at = text.find("cycle break: ");
    if (at == std::string_view::npos)
        return std::nullopt;
    std::string_view line = text.substr(at, text.find('\n', at) - at);
    size_t equals = line.find("= ");
    return equals == std::string_view::npos ? std::nullopt : Number(line.substr(equals + 2), 10);
}

RunEnd ParseRunEnd(std::string_view text) {
    if (text.find("Hit a Breakpoint!") != std::string_view::npos)
        return RunEnd::Breakpoint;
    if (text.find("<CTRL C> break") != std::string_view::npos)
        return RunEnd::Interrupted;
    return RunEnd::Other;
}

std::string LoadFailure(std::string_view text) {
    for (std::string_view sign : {"is not a valid processor", "unrecognized processor", "you need to specify",
                                  "error", "Error", "failed", "not found", "No such file"})
        if (text.find(sign) != std::string_view::npos) {
            for (std::string_view line : Lines(text))
                if (line.find(sign) != std::string_view::npos)
                    return std::string(line);
        }
    return {};
}

std::string GpsimPart(std::string_view processor, const std::vector<std::string>& known, bool& substituted) {
    // parts whose instruction set and memory map gpsim's older model covers
    static const std::map<std::string, std::string, std::less<>> kCompatible = {
        {"pic16f84a", "pic16f84"},
        {"pic16f877a", "pic16f877"},
        {"pic16f876a", "pic16f876"},
        {"pic16f628a", "pic16f628"},
    };
    std::string name = Lower(processor);
    if (name.starts_with("p") && !name.starts_with("pic"))
        name.erase(0, 1);
    if (!name.starts_with("pic"))
        name = "pic" + name;
    substituted = false;
    auto knows = [&known](const std::string& part) {
        return std::find(known.begin(), known.end(), part) != known.end();
    };
    if (knows(name))
        return name;
    auto compatible = kCompatible.find(name);
    if (compatible != kCompatible.end() && knows(compatible->second)) {
        substituted = true;
        return compatible->second;
    }
    return {};
}
