#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the demonstration loop in gpsim and in pic14run (its batched run), checks that pic14run ends in the
# state gpsim stops in, and prints both rates (best and median) and their ratio.
# Usage: bench/compare-gpsim.sh BUILD_DIR   (CYCLE_LOOPS=N to resize)
set -euo pipefail

build=${1:?usage: $0 BUILD_DIR}
runner=$build/tools/pic14run/pic14run
loops=${CYCLE_LOOPS:-25000000}  # passes of MOVLW; SUBLW; GOTO (3 instructions, 4 cycles each)
base_loops=1000                 # a short run that measures gpsim's start-up and loading
repeats=3                       # best of several: the machines are shared and noisy
runner_repeats=7                # pic14run runs are short, so more of them
runner_loops=$((loops * 4))     # and four times as long as gpsim's, so that a rate is more than noise

for tool in gpasm gpsim "$runner"; do
    command -v "$tool" >/dev/null || { echo "compare-gpsim: $tool not found" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The initial GOTO takes 2 cycles, then every pass 4 cycles for 3 instructions.
cycles_for() { echo $((2 + 4 * $1)); }
steps_for() { echo $((1 + 3 * $1)); }

cat >"$work/loop.asm" <<'ASM'
        list    p=16f84
        include <p16f84.inc>
        __config _WDT_OFF & _XT_OSC & _CP_OFF & _PWRTE_OFF
        org     0x000
        goto    loop
        org     0x00A
loop    movlw   0x01
        sublw   0x02
        goto    loop
        end
ASM
(cd "$work" && gpasm -q loop.asm)

calc() { awk "BEGIN { printf \"%.9f\", $1 }"; }

# Processor seconds (user + system) of one gpsim run that stops at the given cycle; both sides are timed
# in processor time, so other work on a shared machine counts against neither.
gpsim_seconds() {
    printf 'break c %s\nrun\nquit\n' "$1" >"$work/run.stc"
    local TIMEFORMAT='%3U %3S' times
    times=$( { time (cd "$work" && gpsim -i -S disable -p p16f84 -s loop.cod -c run.stc >"$work/gpsim.out" 2>&1); } 2>&1 )
    grep -q "cycle break" "$work/gpsim.out" || { echo "compare-gpsim: gpsim did not reach the cycle break" >&2; cat "$work/gpsim.out" >&2; exit 1; }
    calc "${times% *} + ${times#* }"
}

best() { printf '%s\n' "$@" | sort -g | head -1; }
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Prints the best and the median time of the long runs, each less the same figure of the short runs.
run_gpsim() {
    local full=() base=()
    for _ in $(seq $repeats); do
        full+=("$(gpsim_seconds "$(cycles_for "$loops")")")
        base+=("$(gpsim_seconds "$(cycles_for "$base_loops")")")
    done
    echo "$(calc "$(best "${full[@]}") - $(best "${base[@]}")") $(calc "$(median "${full[@]}") - $(median "${base[@]}")")"
}

# pic14run times its own stepping loop; its end state must match gpsim's stop at the cycle break.
run_pic14run() {
    local steps out seconds=()
    steps=$(steps_for "$runner_loops")
    for _ in $(seq $runner_repeats); do
        out=$(printf 'reset\nbench %s\ndump\n' "$steps" | "$runner")
        seconds+=("$(sed -n 's/.*seconds=\([0-9.]*\).*/\1/p' <<<"$out")")
        local expect
        expect=$(printf 'PC=000A W=01 FLAGS=11 SP=0 CYCLES=%u' "$(cycles_for "$runner_loops")")
        grep -q "^$expect " <<<"$out" || { echo "compare-gpsim: pic14run ended in the wrong state:" >&2; echo "$out" >&2; exit 1; }
    done
    echo "$(best "${seconds[@]}") $(median "${seconds[@]}")"
}

steps=$(steps_for "$loops")
gpsim_steps=$((steps - $(steps_for "$base_loops")))
read -r gpsim_best gpsim_median < <(run_gpsim)
read -r ours_best ours_median < <(run_pic14run)

printf 'gpsim: %s instructions, best and median of %s runs; pic14run: %s instructions, of %s runs\n' \
    "$steps" "$repeats" "$(steps_for "$runner_loops")" "$runner_repeats"
for which in best median; do
    g=gpsim_$which o=ours_$which
    gpsim_rate=$(calc "$gpsim_steps / ${!g}")
    ours_rate=$(calc "$(steps_for "$runner_loops") / ${!o}")
    printf '%-6s  gpsim %6.1f M instructions/s, pic14run %6.1f M instructions/s: %5.2f x gpsim\n' "$which" \
        "$(calc "$gpsim_rate / 1000000")" "$(calc "$ours_rate / 1000000")" "$(calc "$ours_rate / $gpsim_rate")"
done
echo "target: >= 8 x gpsim (processor time; gpsim's start-up and loading subtracted)"
