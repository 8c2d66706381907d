#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Lists the symbols of a 100,000-line assembler program with picsymbols and with Universal Ctags (ctags -x,
# its Asm parser), each as a whole process writing to /dev/null, by turns; prints the best and median
# wall-clock and processor times of both and their ratios. The program is one routine over and over, each copy with names
# of its own (as bench/editor/SymbolIndexBench.cpp makes it), and includes the processor header as a real one
# does: picsymbols reads that too.
# Usage: bench/compare-ctags.sh BUILD_DIR   (RUNS=N to change the number of runs, LINES=N the program's size)
set -euo pipefail
shopt -s inherit_errexit  # a failed run inside $(...) stops the script too

build=${1:?usage: $0 BUILD_DIR}
tool=$build/tools/picsymbols/picsymbols
runs=${RUNS:-9}  # best and median of several: the machines are shared and noisy
lines=${LINES:-100000}
target=10

for t in ctags "$tool"; do
    command -v "$t" >/dev/null || { echo "compare-ctags: $t not found" >&2; exit 1; }
done
ctags --version 2>/dev/null | grep -q "Universal Ctags" ||
    { echo "compare-ctags: ctags is not Universal Ctags (scripts/bootstrap installs universal-ctags)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The routine of 31 lines, '#' standing for the copy's number, repeated until the program has `lines` lines.
awk -v lines="$lines" 'BEGIN {
    routine = "; block #: counts on PORTB and waits between steps\n" \
        "LIMIT#     EQU     .200            ; steps before the count wraps\n" \
        "STEP#      EQU     0x01\n" \
        "        cblock  0x20\n" \
        "        Count#                      ; the count shown on PORTB\n" \
        "        Inner#, Outer#              ; the delay counters\n" \
        "        Buffer#:4                   ; four bytes of history\n" \
        "        endc\n" \
        "Show#  macro   value\n" \
        "        local   again\n" \
        "again   movlw   value               ; W = the value\n" \
        "        movwf   PORTB               ; on the LEDs\n" \
        "        endm\n" \
        "Start# clrf    Count#              ; start at zero\n" \
        "Loop#  movf    Count#,W            ; W = the count\n" \
        "        Show#  STEP#\n" \
        "        call    Delay#              ; wait a while\n" \
        "        incf    Count#,F            ; one more\n" \
        "        movlw   LIMIT#\n" \
        "        subwf   Count#,W            ; reached the limit?\n" \
        "        btfss   STATUS,Z\n" \
        "        goto    Loop#\n" \
        "        return\n" \
        "Delay# movlw   d\047250\047\n" \
        "        movwf   Outer#\n" \
        "DelayLp# decfsz Inner#,F           ; the inner loop\n" \
        "        goto    DelayLp#\n" \
        "        decfsz  Outer#,F\n" \
        "        goto    DelayLp#\n" \
        "        return\n" \
        "\n"
    print "; a large program: the same routine over and over, each with its own names"
    print "        list    p=16f877a"
    print "        #include <p16f877a.inc>"
    print "        errorlevel -302"
    for (n = 0; 5 + 31 * n < lines; ++n) {
        copy = routine
        gsub(/#/, n, copy)
        printf "%s", copy
    }
    print "        end"
}' >"$work/large.asm"
program_lines=$(wc -l <"$work/large.asm")

# Both list the same program: every name ctags finds (but the macro's LOCAL label, which is no name of the
# program) picsymbols finds too.
"$tool" "$work/large.asm" >"$work/ours" 2>"$work/err" || { cat "$work/err" >&2; exit 1; }
ctags --languages=Asm -x "$work/large.asm" >"$work/theirs" 2>/dev/null
awk '{ print $1 }' "$work/ours" | sort -u >"$work/our-names"
awk '$1 != "again" { print $1 }' "$work/theirs" | sort -u >"$work/their-names"
missing=$(comm -13 "$work/our-names" "$work/their-names" | wc -l)
if [[ $missing -ne 0 || ! -s $work/their-names ]]; then
    echo "compare-ctags: picsymbols misses $missing of the $(wc -l <"$work/their-names") names ctags lists:" >&2
    comm -13 "$work/our-names" "$work/their-names" | head >&2
    exit 1
fi

# "wall processor": the seconds of one run of the command, the process started and ended included, on the
# clock and in processor time (user and system, as the shell's `times` gives its children's). The wall-clock
# time is what a user waits; processor time is what the machine's other work leaves alone.
seconds() {
    local start=$EPOCHREALTIME
    "$@" >/dev/null 2>"$work/err" || { echo "compare-ctags: $* failed:" >&2; cat "$work/err" >&2; exit 1; }
    local end=$EPOCHREALTIME
    times >"$work/times"  # in this shell: in a pipe, a new one would have no children to tell of
    awk -v a="$start" -v b="$end" 'NR == 2 {
        split($1, u, /[ms]/); split($2, s, /[ms]/)
        printf "%.6f %.6f\n", b - a, u[1] * 60 + u[2] + s[1] * 60 + s[2] }' "$work/times"
}

# "best median" of the numbers on standard input.
best_and_median() {
    sort -g | awk '{ v[++n] = $1 } END { printf "%s %s\n", v[1], (n % 2) ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2 }'
}

ours=() theirs=()
for _ in $(seq "$runs"); do
    ours+=("$(seconds "$tool" "$work/large.asm")")
    theirs+=("$(seconds ctags --languages=Asm -x "$work/large.asm")")
done
# column 1 wall-clock, column 2 processor time
figures() { printf '%s\n' "${@:2}" | awk -v c="$1" '{ print $c }' | best_and_median; }
read -r our_best our_median < <(figures 1 "${ours[@]}")
read -r their_best their_median < <(figures 1 "${theirs[@]}")
read -r our_cpu_best our_cpu_median < <(figures 2 "${ours[@]}")
read -r their_cpu_best their_cpu_median < <(figures 2 "${theirs[@]}")

ms() { awk -v s="$1" 'BEGIN { printf "%6.1f", s * 1000 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%6.2f", (b > 0 ? a / b : 0) }'; }
printf 'input: %d lines, %d bytes; picsymbols lists %d symbols (the header'"'"'s too), ctags %d; %d runs each\n' \
    "$program_lines" "$(stat -c %s "$work/large.asm")" "$(wc -l <"$work/ours")" "$(wc -l <"$work/theirs")" "$runs"
printf '                     wall-clock (best, median)     processor time (best, median)\n'
printf 'ctags -x:            %s ms   %s ms            %s ms   %s ms\n' "$(ms "$their_best")" "$(ms "$their_median")" \
    "$(ms "$their_cpu_best")" "$(ms "$their_cpu_median")"
printf 'picsymbols:          %s ms   %s ms            %s ms   %s ms\n' "$(ms "$our_best")" "$(ms "$our_median")" \
    "$(ms "$our_cpu_best")" "$(ms "$our_cpu_median")"
printf 'ratio:               %s x    %s x             %s x    %s x     (target: >= %d x ctags)\n' \
    "$(ratio "$their_best" "$our_best")" "$(ratio "$their_median" "$our_median")" \
    "$(ratio "$their_cpu_best" "$our_cpu_best")" "$(ratio "$their_cpu_median" "$our_cpu_median")" "$target"
