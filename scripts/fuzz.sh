#!/usr/bin/env bash
# Fuzzes the script reader and runner, and the server's check of a submitted game, with
# libFuzzer: builds the fuzz preset (clang), seeds the corpus with the scenarios and runs for
# SECONDS in all (default 3600). The grown corpora stay in build/fuzz/ for the next run; an input that fails lands in build/fuzz/findings/ and the
# script ends with libFuzzer's status. Extra arguments go to libFuzzer (e.g. -jobs=2).
# Usage: scripts/fuzz.sh [SECONDS] [LIBFUZZER OPTION...]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-3600}
shift $(( $# > 0 ? 1 : 0 ))

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

out=build/fuzz
mkdir -p "$out/corpus" "$out/seeds" "$out/findings"
cp tests/scenarios/*.sim "$out/seeds/"
# An input may take 10 s before it counts as a hang: a line of the script language asks for
# little work whatever its numbers, so even a 4 KiB script runs in milliseconds. The script
# target has two thirds of the time; the server's check of a submitted game the rest, from the
# script target's corpus too, growing a corpus of its own.
"$out/tests/fuzz/plonta_script_fuzz" "$out/corpus" "$out/seeds" \
    -dict=tests/fuzz/script.dict -max_len=4096 -timeout=10 \
    -max_total_time="$(( seconds - seconds / 3 ))" \
    -print_final_stats=1 -artifact_prefix="$out/findings/" "$@"
mkdir -p "$out/corpus-submission"
"$out/tests/fuzz/plonta_submission_fuzz" "$out/corpus-submission" "$out/corpus" "$out/seeds" \
    -dict=tests/fuzz/script.dict -max_len=4096 -timeout=10 -max_total_time="$(( seconds / 3 ))" \
    -print_final_stats=1 -artifact_prefix="$out/findings/" "$@"
