// SPDX-License-Identifier: GPL-3.0-or-later
// The symbol index on a large program (the routine of bench/compare-ctags.sh over and over, each copy with
// names of its own): a keystroke read again, completion over 100,000 names, and the whole file read.
#include "editor/SymbolIndex.h"

#include <benchmark/benchmark.h>

#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int kLines = 100000;
constexpr int kBlockLines = 31;

// The routine, as bench/compare-ctags.sh writes it; each copy's names end in its number, where '#' stands.
constexpr std::string_view kRoutine =
    "; block #: counts on PORTB and waits between steps\n"
    "LIMIT#     EQU     .200            ; steps before the count wraps\n"
    "STEP#      EQU     0x01\n"
    "        cblock  0x20\n"
    "        Count#                      ; the count shown on PORTB\n"
    "        Inner#, Outer#              ; the delay counters\n"
    "        Buffer#:4                   ; four bytes of history\n"
    "        endc\n"
    "Show#  macro   value\n"
    "        local   again\n"
    "again   movlw   value               ; W = the value\n"
    "        movwf   PORTB               ; on the LEDs\n"
    "        endm\n"
    "Start# clrf    Count#              ; start at zero\n"
    "Loop#  movf    Count#,W            ; W = the count\n"
    "        Show#  STEP#\n"
    "        call    Delay#              ; wait a while\n"
    "        incf    Count#,F            ; one more\n"
    "        movlw   LIMIT#\n"
    "        subwf   Count#,W            ; reached the limit?\n"
    "        btfss   STATUS,Z\n"
    "        goto    Loop#\n"
    "        return\n"
    "Delay# movlw   d'250'\n"
    "        movwf   Outer#\n"
    "DelayLp# decfsz Inner#,F           ; the inner loop\n"
    "        goto    DelayLp#\n"
    "        decfsz  Outer#,F\n"
    "        goto    DelayLp#\n"
    "        return\n"
    "\n";

// A program of `blocks` copies of the routine.
std::string Program(int blocks) {
    std::string text =
        "; a large program: the same routine over and over, each with its own names\n"
        "        list    p=16f877a\n"
        "        errorlevel -302\n";
    for (int n = 0; n < blocks; ++n) {
        std::string number = std::to_string(n);
        for (char c : kRoutine)
            text.append(c == '#' ? std::string_view(number) : std::string_view(&c, 1));
    }
    return text + "        end\n";
}

// The index of a 100,000-line program; a line in its middle is typed in, and typed back, a character at a
// time.
void BM_ReindexAfterKeystroke(benchmark::State& state) {
    picsym::FileSymbols file;
    file.SetText(Program(kLines / kBlockLines));
    int line = file.lineCount() / 2;
    while (file.line(line).definitions.empty() || file.line(line).definitions[0].kind != picsym::Kind::Label)
        ++line;     // a labelled instruction: the keystroke changes a definition
    file.Find("");  // the table of names made, as the editor's is after its first question: kept in step
    std::string before = file.text(line);
    size_t labelEnd = before.find(' ');
    std::string after = before.substr(0, labelEnd) + "x";  // "Loop1612x  movf ..."
    after.append(before, labelEnd);
    bool typed = false;
    int read = 0;
    for (auto _ : state) {
        std::string_view text = typed ? before : after;
        read += file.Update(line, 1, std::span<const std::string_view>(&text, 1));
        typed = !typed;
    }
    state.counters["lines"] = file.lineCount();
    state.counters["read"] = benchmark::Counter(read, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ReindexAfterKeystroke)->Unit(benchmark::kMicrosecond);

// "De" typed and completion asked for, over an index of 100,000 names: the first 200, sorted, with values.
void BM_CompleteOver100kSymbols(benchmark::State& state) {
    picsym::SymbolIndex index;
    index.SetText("/bench/large.asm", Program(100000 / 11 + 1));  // eleven names a routine
    size_t names = index.Outline("/bench/large.asm").size();
    benchmark::DoNotOptimize(index.Complete("De", 200));  // the index's table of names, made once
    for (auto _ : state) {
        std::vector<picsym::Symbol> found = index.Complete("De", 200);
        if (found.size() != 200)
            state.SkipWithError("fewer completions than asked for");
        benchmark::DoNotOptimize(found);
    }
    state.counters["names"] = double(names);
}
BENCHMARK(BM_CompleteOver100kSymbols)->Unit(benchmark::kMillisecond);

// The same, the first time after an edit: the edited file's table of names is made again.
void BM_CompleteAfterAnEdit(benchmark::State& state) {
    picsym::SymbolIndex index;
    index.SetText("/bench/large.asm", Program(100000 / 11 + 1));
    std::string_view comment = "; a comment typed";
    for (auto _ : state) {
        index.Update("/bench/large.asm", 1, 1, std::span<const std::string_view>(&comment, 1));
        benchmark::DoNotOptimize(index.Complete("De", 200));
    }
}
BENCHMARK(BM_CompleteAfterAnEdit)->Unit(benchmark::kMillisecond);

// The whole 100,000-line program read into the editor's index, and into picsymbols'.
void BM_IndexWholeFile(benchmark::State& state) {
    std::string text = Program(kLines / kBlockLines);
    picsym::Keep keep = state.range(0) ? picsym::Keep::DefinitionsOnly : picsym::Keep::Everything;
    for (auto _ : state) {
        picsym::FileSymbols file(keep);
        file.SetText(text);
        benchmark::DoNotOptimize(file.lineCount());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
    state.SetLabel(keep == picsym::Keep::Everything ? "everything" : "definitions only");
}
BENCHMARK(BM_IndexWholeFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
