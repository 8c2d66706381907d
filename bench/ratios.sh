#!/usr/bin/env bash
# Prints each benchmark beside its floor or peer from the same run, with the ratio of their processor times
# (the best and the median repetition). Reads the CSV files `make bench` writes beside each benchmark.
# Usage: bench/ratios.sh BUILD_DIR
set -euo pipefail

build=${1:?usage: $0 BUILD_DIR}

# benchmark file, subject, reference, what the ratio means
pairs=(
    "sim/sim_bench|BM_RunStepsDemonstrationLoop|BM_StepDemonstrationLoop|batched run against single steps (time per step; lower is faster)"
    "editctl/editor_bench|BM_OpenLargeFileUntilFirstScreenColoured|BM_OpenLargeFileBareQScintilla|open until first screen coloured against bare QScintilla (target <= 1.3 x)"
    "assembler/messages_bench|BM_LoadMessages|BM_LoadMessagesFloor|100,000 messages in both lists against one QListView over a QStringListModel (target <= 1.3 x)"
)

# "best median unit" of the processor time of the repetitions of one benchmark (aggregate rows left out).
figures() {
    local unit
    unit=$(awk -F, -v want="$2" '/^name,/ { for (i = 1; i <= NF; ++i) if ($i == "time_unit") u = i; next }
        { name = $1; gsub(/"/, "", name); sub(/\/.*/, "", name); if (name == want) { print $u; exit } }' "$1")
    [[ -n $unit ]] || return 1
    awk -F, -v want="$2" '
        /^name,/ { for (i = 1; i <= NF; ++i) if ($i == "cpu_time") cpu = i; next }
        { name = $1; gsub(/"/, "", name); sub(/\/.*/, "", name) }
        name == want && $1 !~ /_(mean|median|stddev|cv)"?$/ { print $cpu }' "$1" |
        sort -g | awk -v unit="$unit" '{ v[++n] = $1 }
            END { printf "%g %g %s\n", v[1], (n % 2) ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2, unit }'
}

for pair in "${pairs[@]}"; do
    IFS='|' read -r file subject reference meaning <<<"$pair"
    csv=$build/bench/$file.csv
    if [[ ! -f $csv ]]; then
        echo "ratios: $csv not found (run make bench)" >&2
        continue
    fi
    read -r s_best s_median unit < <(figures "$csv" "$subject") || { echo "ratios: $subject not in $csv" >&2; continue; }
    read -r r_best r_median _ < <(figures "$csv" "$reference") || { echo "ratios: $reference not in $csv" >&2; continue; }
    echo "$meaning"
    printf '    %-45s best %10.4g %s, median %10.4g %s\n' "$subject" "$s_best" "$unit" "$s_median" "$unit"
    printf '    %-45s best %10.4g %s, median %10.4g %s\n' "$reference" "$r_best" "$unit" "$r_median" "$unit"
    awk -v a="$s_best" -v b="$r_best" -v c="$s_median" -v d="$r_median" \
        'BEGIN { printf "    ratio: %.2f x (best), %.2f x (median)\n", a / b, c / d }'
done
