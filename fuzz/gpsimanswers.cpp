// SPDX-License-Identifier: GPL-3.0-or-later
// gpsim's output on any bytes, cut at any places: answers only ever come for commands that were sent, what
// is kept stays within its bounds, and every reader of an answer takes whatever it is given.
#include "gpsim/GpsimAnswers.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

const char* const kCommands[] = {"processor list", "load main877a.cod", "frequency", "x", "cycles",
                                 "break e 0x13", "break", "step", "run", "step over", "reset", "x", "cycles"};

void Read(const std::string& text) {
    (void)ParseExamine(text);
    (void)ParseCycles(text);
    (void)ParseFrequency(text);
    bool substituted = false;
    (void)GpsimPart("16f877a", ParseProcessorList(text), substituted);
    (void)ParseBreakList(text);
    (void)ParseOtherBreaks(text);
    (void)ParseCycleBreakHit(text);
    (void)ParseRunEnd(text);
    (void)LoadFailure(text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    // the first byte says how the output is cut into pieces, as a pipe would deliver it
    size_t piece = 1 + data[0] % 64;
    std::string_view output(reinterpret_cast<const char*>(data) + 1, size - 1);
    GpsimConversation conversation;
    size_t sent = std::size(kCommands);
    for (const char* command : kCommands)
        conversation.Sent(command);
    size_t answered = 0;
    for (size_t at = 0; at < output.size(); at += piece) {
        for (const auto& answer : conversation.Feed(output.substr(at, piece))) {
            if (answered >= sent || answer.command != kCommands[answered])
                std::abort();  // an answer out of turn
            ++answered;
            Read(answer.text);
        }
        if (conversation.TakeLoose().size() > GpsimConversation::kMaxLoose ||
            conversation.open().size() > kMaxGpsimAnswer)
            std::abort();
    }
    if (answered + conversation.Pending() != sent)
        std::abort();
    return 0;
}
