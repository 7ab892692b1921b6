#!/usr/bin/env bash
# Long runs of random keys through the whole program, under the sanitizers: the
# runs CI is too short for. Each seed starts on a fresh demo database.
# Usage: scripts/random-keys.sh [steps per seed, default 5000] [seed ...] (default 11 12 13)
set -euo pipefail
cd "$(dirname "$0")/.."

steps="${1:-5000}"
shift || true
seeds=("$@")
[ ${#seeds[@]} -gt 0 ] || seeds=(11 12 13)

scripts/setup-deps.sh
cmake --preset asan >/dev/null
cmake --build --preset asan --target test_monkey
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
failed=0
for seed in "${seeds[@]}"; do
    if QUORVALE_MONKEY_SEEDS="$seed" QUORVALE_MONKEY_STEPS="$steps" build-asan/tests/test_monkey; then
        echo "random-keys: seed $seed, $steps keys: passed"
    else
        echo "random-keys: seed $seed, $steps keys: FAILED"; failed=1
    fi
done
exit $failed
