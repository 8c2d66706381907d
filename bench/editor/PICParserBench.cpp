// SPDX-License-Identifier: GPL-3.0-or-later
// Tokenizer throughput in bytes per second over the gputils header files, line by line as the editor splits
// them.
#include "editor/PICParser.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr const char* kHeaderFolder = "/usr/share/gputils/header";

// Every *.inc of the folder, read once before timing starts.
const std::vector<std::string>& HeaderFiles() {
    static const std::vector<std::string> files = [] {
        std::vector<std::string> texts;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(kHeaderFolder, error)) {
            if (entry.is_regular_file() && entry.path().extension() == ".inc") {
                std::ifstream in(entry.path(), std::ios::binary);
                texts.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            }
        }
        return texts;
    }();
    return files;
}

void BM_TokenizeHeaders(benchmark::State& state) {
    const std::vector<std::string>& files = HeaderFiles();
    if (files.empty()) {
        state.SkipWithError("no *.inc files in /usr/share/gputils/header (is gputils installed?)");
        return;
    }
    std::size_t totalBytes = 0;
    std::size_t largest = 0;
    for (const std::string& text : files) {
        totalBytes += text.size();
        largest = std::max(largest, text.size());
    }
    const TPICParser parser;
    std::vector<std::uint8_t> classes(largest);
    for (auto _ : state) {
        for (const std::string& text : files) {
            benchmark::DoNotOptimize(parser.ParseText(text, classes.data()));
            benchmark::ClobberMemory();
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * totalBytes));
    state.counters["files"] = static_cast<double>(files.size());
}
BENCHMARK(BM_TokenizeHeaders)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
