// SPDX-License-Identifier: GPL-3.0-or-later
// The reads of outside input that happen on the UI thread, at their worst: a .cod at the size bound whose
// tables fill it (1,024 sources, a line table of 1.4 million entries), one over the bound, and gpsim's output
// cut into answers (a flood without a prompt, and a stream of short answers).
#include "gpsim/CodFile.h"
#include "gpsim/GpsimAnswers.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace {

void Put16(std::string& bytes, size_t at, unsigned value) {
    bytes[at] = char(value & 0xff);
    bytes[at + 1] = char(value >> 8);
}

// A .cod of exactly the bound: the directory, 128 blocks of names, then line entries to the end.
std::string WorstCod() {
    constexpr size_t kBlocks = kMaxCodBytes / 512, kNameBlocks = kMaxCodSources / 8;
    std::string bytes(kMaxCodBytes, '\0');
    bytes.replace(0x1c5, 8, "\x07" "16f877a");
    Put16(bytes, 0x1ae, 1);
    Put16(bytes, 0x1b0, kNameBlocks);
    Put16(bytes, 0x1b2, kNameBlocks + 1);
    Put16(bytes, 0x1b4, kBlocks - 1);
    for (size_t i = 0; i < kMaxCodSources; ++i) {
        std::string name = "/nowhere/f" + std::to_string(i) + ".inc";
        bytes[512 + 64 * i] = char(name.size());
        bytes.replace(512 + 64 * i + 1, name.size(), name);
    }
    for (size_t block = kNameBlocks + 1; block < kBlocks; ++block)
        for (size_t at = block * 512, k = 0; k < 512 / 6; ++k, at += 6) {
            bytes[at] = char(k % 200);
            Put16(bytes, at + 2, unsigned(k + 1));
            Put16(bytes, at + 4, unsigned(block * 85 + k) & 0x1fff);
        }
    return bytes;
}

struct TempFile {
    explicit TempFile(const std::string& bytes) {
        path = std::filesystem::temp_directory_path() / ("korvex-bench-" + std::to_string(getpid()) + ".cod");
        std::ofstream(path, std::ios::binary) << bytes;
    }
    ~TempFile() { std::filesystem::remove(path); }
    std::filesystem::path path;
};

void BM_CodLoadAtTheBound(benchmark::State& state) {
    TempFile file(WorstCod());
    for (auto _ : state) {
        std::string error;
        auto cod = CodFile::Load(file.path.string(), error);
        if (!cod)
            state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(cod);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kMaxCodBytes));
}
BENCHMARK(BM_CodLoadAtTheBound)->Unit(benchmark::kMillisecond);

void BM_CodLoadRefusedOverTheBound(benchmark::State& state) {
    TempFile file("");
    std::filesystem::resize_file(file.path, 200u << 20);
    for (auto _ : state) {
        std::string error;
        benchmark::DoNotOptimize(CodFile::Load(file.path.string(), error));
    }
}
BENCHMARK(BM_CodLoadRefusedOverTheBound)->Unit(benchmark::kMicrosecond);

void BM_GpsimFloodUntilTheBound(benchmark::State& state) {
    std::string chunk(64 * 1024, 'y');
    for (auto _ : state) {
        GpsimConversation conversation;
        conversation.Sent("processor list");
        while (!conversation.overflowed())
            benchmark::DoNotOptimize(conversation.Feed(chunk));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kMaxGpsimAnswer));
}
BENCHMARK(BM_GpsimFloodUntilTheBound)->Unit(benchmark::kMillisecond);

void BM_GpsimShortAnswersInSmallPieces(benchmark::State& state) {
    std::string output;
    for (int i = 0; i < 10000; ++i)
        output += "cycles\n" + std::to_string(i) + " = 0x" + std::to_string(i) + "\n**gpsim> ";
    for (auto _ : state) {
        GpsimConversation conversation;
        for (int i = 0; i < 10000; ++i)
            conversation.Sent("cycles");
        for (size_t at = 0; at < output.size(); at += 7)
            benchmark::DoNotOptimize(conversation.Feed(std::string_view(output).substr(at, 7)));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(output.size()));
}
BENCHMARK(BM_GpsimShortAnswersInSmallPieces)->Unit(benchmark::kMillisecond);

}  // namespace
