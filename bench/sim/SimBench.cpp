// SPDX-License-Identifier: GPL-3.0-or-later
// Step and the batched run on the demonstration loop (GOTO 0x00A; MOVLW 0x01; SUBLW 0x02; GOTO 0x00A).
#include "sim/Decoexec.h"
#include "sim/Pic14.h"

#include <benchmark/benchmark.h>

namespace {

using sim::PicState;

// Steps per benchmark iteration, so the harness's own loop stays out of the per-step figure.
constexpr int kBatch = 1000;

void BM_StepDemonstrationLoop(benchmark::State& state) {
    PicState = {};
    sim::ResetProcessor();
    for (auto _ : state) {
        for (int i = 0; i < kBatch; ++i)
            sim::Step();
        benchmark::DoNotOptimize(PicState.W);
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
    state.counters["steps_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kBatch, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_StepDemonstrationLoop)->MinTime(1.0);

// The same loop through the batched run, in runs of kBatch steps.
void BM_RunStepsDemonstrationLoop(benchmark::State& state) {
    PicState = {};
    sim::ResetProcessor();
    for (auto _ : state) {
        sim::RunSteps(kBatch);
        benchmark::DoNotOptimize(PicState.W);
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
    state.counters["steps_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kBatch, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RunStepsDemonstrationLoop)->MinTime(1.0);

}  // namespace
