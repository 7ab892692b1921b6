#!/usr/bin/env bash
# Kills the whole program at random moments of a random-key run, again and again,
# and after every kill checks that each database is whole, each item file reads,
# no empty or half-written file is left, the run record names a TimeCard that
# exists, and no TimeCard saved before is gone (the run cannot delete one).
#
# Usage: scripts/kill-loop.sh [kills] [build-dir]     (defaults: 100, build)
# Needs the test_monkey executable of that build. The program it works on is kept
# in a temporary directory, named at the end, for a look after a failure.
set -uo pipefail

kills=${1:-100}
build=${2:-build}
here=$(cd "$(dirname "$0")/.." && pwd)
monkey="$here/$build/tests/test_monkey"
[ -x "$monkey" ] || { echo "kill-loop: $monkey is not built" >&2; exit 1; }

dir=$(mktemp -d /tmp/qvkill.XXXXXX)
export QT_QPA_PLATFORM=offscreen QUORVALE_MONKEY_DIR="$dir" QUORVALE_TEST_TMP="$dir/tmp"
mkdir -p "$dir/tmp"
export QUORVALE_MONKEY_STEPS=1000000
log="$dir/kill-loop.log"
: >"$log"

ran=0
for i in $(seq 1 "$kills"); do
    # Between 0.2 and 6 seconds: some kills land in start-up and recovery, most mid-work.
    wait_ms=$((200 + RANDOM % 5800))
    QUORVALE_MONKEY_SEEDS=$i "$monkey" --gtest_filter='RandomKeys.*' >>"$log" 2>&1 &
    pid=$!
    sleep "$(printf '%d.%03d' $((wait_ms / 1000)) $((wait_ms % 1000)))"
    if kill -0 "$pid" 2>/dev/null; then
        kill -KILL "$pid"
        ran=$((ran + 1))
    fi
    wait "$pid" 2>/dev/null
    if ! "$monkey" --gtest_filter='KilledProgram.*' >"$dir/check.log" 2>&1; then
        echo "kill-loop: after kill $i (${wait_ms} ms into seed $i) something was lost or damaged:" >&2
        grep -E 'Failure|Expected|Which is|was saved|run record|\.ics|\.vcf|\.db' "$dir/check.log" | head -40 >&2
        echo "kill-loop: the program is kept in $dir" >&2
        exit 1
    fi
    printf '\rkill %d of %d (%d ms)   ' "$i" "$kills" "$wait_ms"
done
echo
cards=$(wc -l <"$dir/timecards-seen.txt" 2>/dev/null || echo 0)
echo "kill-loop: $ran kills mid-run of $kills runs; every check passed; $cards TimeCards at the end."
echo "kill-loop: the program is in $dir"
