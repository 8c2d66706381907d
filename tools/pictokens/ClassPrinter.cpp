// SPDX-License-Identifier: GPL-3.0-or-later
// pictokens' printer: whole lines out of pieces of text, coloured straight into blocks of hex digits.
#include "ClassPrinter.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace {

constexpr std::array<std::uint8_t, 256> BuildDigits() {
    std::array<std::uint8_t, 256> digits{};
    for (int c = 0; c < 256; ++c) {
        digits[c] = static_cast<std::uint8_t>(c < 10 ? '0' + c : (c < 16 ? 'a' + c - 10 : '?'));
    }
    return digits;
}

constexpr std::array<std::uint8_t, 256> kDigits = BuildDigits();

// Sixteen bytes side by side (GCC's and Clang's vector extension): one SSE2 register on x86-64.
using Lanes = std::uint8_t __attribute__((vector_size(16)));

// Sixteen classes as hex digits ('?' above 15), LF where the text has one.
Lanes DigitsAndLfs(Lanes classes, Lanes text) {
    const auto letter = reinterpret_cast<Lanes>(classes > 9);
    const auto unknown = reinterpret_cast<Lanes>(classes > 15);
    const auto lineEnd = reinterpret_cast<Lanes>(text == '\n');
    const Lanes digits = classes + '0' + (letter & ('a' - '9' - 1));
    const Lanes known = (digits & ~unknown) | (unknown & '?');
    return (known & ~lineEnd) | (lineEnd & '\n');
}

// What pictokens prints for whole lines of text whose classes are in `bytes`, written over them: each
// byte of a line as its hex digit, each line end as one LF. Lines end as TPICParser::SplitLines ends
// them: at CR LF, at a lone LF and at a lone CR. Returns how many bytes it wrote.
std::size_t WriteLines(std::string_view text, std::uint8_t* bytes) {
    std::size_t i = 0;
    if (std::memchr(text.data(), '\r', text.size()) == nullptr) {
        // Only LFs, one for one with the bytes they stand in for: sixteen at a time.
        for (; i + sizeof(Lanes) <= text.size(); i += sizeof(Lanes)) {
            Lanes classes;
            Lanes chars;
            std::memcpy(&classes, bytes + i, sizeof classes);
            std::memcpy(&chars, text.data() + i, sizeof chars);
            const Lanes out = DigitsAndLfs(classes, chars);
            std::memcpy(bytes + i, &out, sizeof out);
        }
    }
    std::size_t out = i;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;  // the LF of CR LF stands for both
        }
        bytes[out++] = c == '\n' || c == '\r' ? '\n' : kDigits[bytes[i]];
    }
    return out;
}

// Where the last line end in text[from, end) is, if any.
std::size_t LastLineEnd(const std::vector<char>& text, std::size_t from, std::size_t end) {
    for (std::size_t pos = end; pos > from; --pos) {
        if (text[pos - 1] == '\n' || text[pos - 1] == '\r') {
            return pos - 1;
        }
    }
    return end;
}

}  // namespace

ClassPrinter::ClassPrinter(Sink sink, std::size_t blockSize)
    : sink_(std::move(sink)),
      blockSize_(std::max<std::size_t>(blockSize, 1)),
      in_(blockSize_),
      out_(blockSize_) {}

std::span<char> ClassPrinter::Room() {
    // A line longer than the buffer keeps it full: it grows (by at least half again) until the line ends.
    if (in_.size() - inUsed_ < std::max<std::size_t>(blockSize_ / 2, 1)) {
        in_.resize(std::max(in_.size() + in_.size() / 2, inUsed_ + blockSize_));
    }
    return {in_.data() + inUsed_, in_.size() - inUsed_};
}

bool ClassPrinter::Added(std::size_t count) {
    // Only the new bytes can end a line; the byte before them may be a CR still waiting for an LF.
    const std::size_t from = inUsed_ > 0 ? inUsed_ - 1 : 0;
    inUsed_ += count;
    // A CR at the very end may be the first half of CR LF: its line waits for the next byte.
    std::size_t end = inUsed_;
    if (end > from && in_[end - 1] == '\r') {
        --end;
    }
    const std::size_t lineEnd = LastLineEnd(in_, from, end);
    if (lineEnd < end) {
        PrintLines(std::string_view(in_.data(), lineEnd + 1), TextEnd::kLater);
        Keep(lineEnd + 1);
    }
    return !failed_;
}

bool ClassPrinter::Add(std::string_view bytes) {
    while (!bytes.empty()) {
        const std::span<char> room = Room();
        const std::size_t count = std::min(room.size(), bytes.size());
        std::memcpy(room.data(), bytes.data(), count);
        bytes.remove_prefix(count);
        Added(count);
    }
    return !failed_;
}

bool ClassPrinter::Finish() {
    PrintLines(std::string_view(in_.data(), inUsed_), TextEnd::kHere);
    inUsed_ = 0;
    Flush();
    const bool written = !failed_;
    state_ = 0;
    failed_ = false;
    return written;
}

// Colours whole lines of text, those in front of in_ (the text going on after them, or ending where they
// end), straight into the output block, then turns their classes into the digits and LFs printed.
void ClassPrinter::PrintLines(std::string_view text, TextEnd textEnd) {
    // One byte more than the text: the LF after a last line that has no line end.
    const std::size_t needed = text.size() + 1;
    if (out_.size() - outUsed_ < needed) {
        Flush();
        out_.resize(std::max(out_.size(), needed));
    }
    auto* bytes = reinterpret_cast<std::uint8_t*>(out_.data() + outUsed_);
    state_ = parser_.ParseText(text, bytes, state_);
    outUsed_ += WriteLines(text, bytes);
    if (textEnd == TextEnd::kHere && !text.empty() && text.back() != '\n' && text.back() != '\r') {
        out_[outUsed_++] = '\n';
    }
}

// Drops the first `count` bytes of in_, already printed, and keeps the rest for later.
void ClassPrinter::Keep(std::size_t count) {
    std::memmove(in_.data(), in_.data() + count, inUsed_ - count);
    inUsed_ -= count;
}

void ClassPrinter::Flush() {
    if (outUsed_ > 0 && !failed_) {
        failed_ = !sink_(std::string_view(out_.data(), outUsed_));
    }
    outUsed_ = 0;
}
