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

// Turns classes into hex digits in place. Eight at a time while all eight are below 16: adding 6 carries
// into bit 4 exactly for 10..15, which then take the step from '9' + 1 up to 'a'. No byte overflows into
// the next, so the byte order of the machine does not matter.
void WriteDigits(std::uint8_t* bytes, std::size_t count) {
    constexpr std::uint64_t kOnes = 0x0101010101010101;
    std::size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes + i, 8);
        if ((word & (kOnes * 0xF0)) != 0) {
            break;
        }
        const std::uint64_t letters = ((word + kOnes * 6) >> 4) & kOnes;
        word += kOnes * '0' + letters * ('a' - '9' - 1);
        std::memcpy(bytes + i, &word, 8);
    }
    for (; i < count; ++i) {
        bytes[i] = kDigits[bytes[i]];
    }
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
        PrintLines(std::string_view(in_.data(), lineEnd + 1));
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
    PrintLines(std::string_view(in_.data(), inUsed_));
    inUsed_ = 0;
    Flush();
    const bool written = !failed_;
    state_ = 0;
    failed_ = false;
    return written;
}

// Prints the lines of `text`, which ends where a line ends or where the whole text ends.
void ClassPrinter::PrintLines(std::string_view text) {
    TPICParser::LineSplitter splitter(text);
    TPICParser::TextLine line;
    while (splitter.Next(&line)) {
        PrintLine(text.data() + line.start, line.length, line.endLength);
    }
}

// Drops the first `count` bytes of in_, already printed, and keeps the rest for later.
void ClassPrinter::Keep(std::size_t count) {
    std::memmove(in_.data(), in_.data() + count, inUsed_ - count);
    inUsed_ -= count;
}

void ClassPrinter::PrintLine(const char* text, std::size_t length, std::size_t endLength) {
    // The parser also writes a class for each byte of the line end: the first of them becomes the LF.
    const std::size_t needed = length + std::max<std::size_t>(endLength, 1);
    if (out_.size() - outUsed_ < needed) {
        Flush();
        out_.resize(std::max(out_.size(), needed));
    }
    std::uint8_t* classes = reinterpret_cast<std::uint8_t*>(out_.data() + outUsed_);
    state_ = parser_.ParseLine(text, length + endLength, classes, state_);
    WriteDigits(classes, length);
    classes[length] = '\n';
    outUsed_ += length + 1;
}

void ClassPrinter::Flush() {
    if (outUsed_ > 0 && !failed_) {
        failed_ = !sink_(std::string_view(out_.data(), outUsed_));
    }
    outUsed_ = 0;
}
