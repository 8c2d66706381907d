#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Colours gputils' PIC16 headers (all p16*.inc, one after the other) with Kate's command-line highlighter
# and with pictokens, and prints both rates and their ratio. Both write their whole output, to /dev/null so
# that the file system's cost is in neither figure (OUTPUT=file writes it to a file in a temporary folder).
# Usage: bench/compare-kate.sh BUILD_DIR   (KATE_RUNS=N, PICTOKENS_RUNS=N to change the number of runs)
set -euo pipefail
shopt -s inherit_errexit  # a failed run inside $(...) stops the script too

build=${1:?usage: $0 BUILD_DIR}
tool=$build/tools/pictokens/pictokens
headers=/usr/share/gputils/header
kate_runs=${KATE_RUNS:-5}               # best and median of several: the machines are shared and noisy
pictokens_runs=${PICTOKENS_RUNS:-15}    # pictokens runs are short, so more of them
target=20

for t in kate-syntax-highlighter "$tool"; do
    command -v "$t" >/dev/null || { echo "compare-kate: $t not found" >&2; exit 1; }
done
shopt -s nullglob
files=("$headers"/p16*.inc)
[[ ${#files[@]} -gt 0 ]] || { echo "compare-kate: no $headers/p16*.inc (gputils)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat "${files[@]}" >"$work/headers.inc"
bytes=$(stat -c %s "$work/headers.inc")

calc() { awk "BEGIN { printf \"%.9f\", $1 }"; }

sink=/dev/null
[[ ${OUTPUT:-} == file ]] && sink=$work/out

# Processor seconds (user + system) of one run of the command, its standard output written to the sink:
# a new file each time, so that neither pays for throwing away the last run's output.
seconds() {
    local TIMEFORMAT='%3U %3S' times
    [[ $sink == /dev/null ]] || rm -f "$sink"
    times=$( { time "$@" >"$sink" 2>"$work/err"; } 2>&1 ) || {
        echo "compare-kate: $* failed:" >&2; cat "$work/err" >&2; exit 1; }
    calc "${times% *} + ${times#* }"
}

# "best median" of the processor times of `runs` runs of the command.
best_and_median() {
    local runs=$1 times=()
    shift
    for _ in $(seq "$runs"); do
        times+=("$(seconds "$@")")
    done
    printf '%s\n' "${times[@]}" | sort -g | awk '{ t[NR] = $1 } END { print t[1], t[int((NR + 1) / 2)] }'
}

kate=(kate-syntax-highlighter -s PicAsm -f ansi "$work/headers.inc")
kate_times=$(best_and_median "$kate_runs" "${kate[@]}")
read -r kate_best kate_median <<<"$kate_times"
"${kate[@]}" >"$work/out"
[[ $(stat -c %s "$work/out") -gt $bytes ]] || { echo "compare-kate: kate-syntax-highlighter printed too little" >&2; exit 1; }

ours_times=$(best_and_median "$pictokens_runs" "$tool" "$work/headers.inc")
read -r ours_best ours_median <<<"$ours_times"
"$tool" "$work/headers.inc" >"$work/out"
# One line of hex digits per source line. The headers end their lines with LF or CR LF, the last one too,
# so the output is as long as the text less one byte per CR LF; it has comments and directives.
lines=$(wc -l <"$work/headers.inc")
crlf=$(grep -c $'\r$' "$work/headers.inc" || true)
out_lines=$(wc -l <"$work/out")
out_bytes=$(stat -c %s "$work/out")
stray=$(LC_ALL=C tr -d '0-9a-f\n' <"$work/out" | wc -c)
if [[ $out_lines -ne $lines || $out_bytes -ne $((bytes - crlf)) || $stray -ne 0 ]] ||
   ! LC_ALL=C grep -q '^0*2\+$' "$work/out" || ! LC_ALL=C grep -q '8' "$work/out"; then
    echo "compare-kate: pictokens printed $out_lines lines, $out_bytes bytes, $stray bytes other than hex" \
         "digits (expected $lines lines, $((bytes - crlf)) bytes, comments and directives)" >&2
    exit 1
fi

rate() { calc "$bytes / $1 / 1000000"; }
printf 'input: %d headers, %d bytes, %d lines; output to %s\n' "${#files[@]}" "$bytes" "$lines" "${OUTPUT:-/dev/null}"
printf 'kate-syntax-highlighter: %8.1f MB/s best (%.3f s), %8.1f MB/s median (%.3f s) processor time, %d runs\n' \
    "$(rate "$kate_best")" "$kate_best" "$(rate "$kate_median")" "$kate_median" "$kate_runs"
printf 'pictokens:               %8.1f MB/s best (%.3f s), %8.1f MB/s median (%.3f s) processor time, %d runs\n' \
    "$(rate "$ours_best")" "$ours_best" "$(rate "$ours_median")" "$ours_median" "$pictokens_runs"
printf 'ratio:                   %8.2f x best, %.2f x median   (target: >= %d x kate-syntax-highlighter)\n' \
    "$(calc "$kate_best / $ours_best")" "$(calc "$kate_median / $ours_median")" "$target"
