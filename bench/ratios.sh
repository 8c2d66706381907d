#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Prints each benchmark beside its floor or peer, with the ratio of their wall-clock times (what a user
# waits), best and median. The two run by turns, each repetition in a fresh process, so that neither inherits
# the other's caches or heap. Usage: bench/ratios.sh BUILD_DIR   (REPETITIONS=N, default 5)
set -euo pipefail

build=${1:?usage: $0 BUILD_DIR}
repetitions=${REPETITIONS:-5}

# benchmark program, subject, reference, what the ratio means
pairs=(
    "sim/sim_bench|BM_RunStepsDemonstrationLoop|BM_StepDemonstrationLoop|the batched run against single steps (time per step)"
    "editctl/editor_bench|BM_OpenLargeFileUntilFirstScreenColoured|BM_OpenLargeFileBareQScintilla|open until the first screen is coloured against bare QScintilla"
    "assembler/messages_bench|BM_LoadMessages|BM_LoadMessagesFloor|100,000 messages in both lists against one QListView over a QStringListModel (target <= 1.3 x)"
)

# "time unit" of one run of one benchmark in a process of its own.
run_once() {
    "$1" --benchmark_filter="^$2(/|\$)" --benchmark_format=csv 2>/dev/null |
        awk -F, '/^name,/ { for (i = 1; i <= NF; ++i) { if ($i == "real_time") t = i; if ($i == "time_unit") u = i }; next }
                 t && NF > 3 { print $t, $u; exit }'
}

# "best median" of the numbers on standard input.
best_and_median() {
    sort -g | awk '{ v[++n] = $1 } END { printf "%g %g\n", v[1], (n % 2) ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2 }'
}

for pair in "${pairs[@]}"; do
    IFS='|' read -r program subject reference meaning <<<"$pair"
    program=$build/bench/$program
    [[ -x $program ]] || { echo "ratios: $program not built" >&2; exit 1; }
    subject_times=() reference_times=() unit=
    for _ in $(seq "$repetitions"); do
        read -r time unit < <(run_once "$program" "$subject")
        subject_times+=("$time")
        read -r time _ < <(run_once "$program" "$reference")
        reference_times+=("$time")
    done
    read -r s_best s_median < <(printf '%s\n' "${subject_times[@]}" | best_and_median)
    read -r r_best r_median < <(printf '%s\n' "${reference_times[@]}" | best_and_median)
    echo "$meaning"
    printf '    %-42s best %9.4g %s, median %9.4g %s\n' "$subject" "$s_best" "$unit" "$s_median" "$unit"
    printf '    %-42s best %9.4g %s, median %9.4g %s\n' "$reference" "$r_best" "$unit" "$r_median" "$unit"
    awk -v a="$s_best" -v b="$r_best" -v c="$s_median" -v d="$r_median" \
        'BEGIN { printf "    ratio: %.2f x (best), %.2f x (median)\n", a / b, c / d }'
done
