#!/usr/bin/env bash
# Builds the item-store readers with clang, libFuzzer and the address and
# undefined-behaviour sanitizers, then runs each fuzz target from its seed corpus
# for a fixed number of inputs with a fixed seed, so a run is repeatable: what
# passes here passes in CI. A crash, leak or sanitizer report fails the run.
# Usage: scripts/fuzz-smoke.sh [seconds per target at the most, default 20]
#        QUORVALE_FUZZ_RUNS (inputs per target, default 20000), QUORVALE_FUZZ_SEED
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-20}"

build=build-fuzz
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++-14 -DQUORVALE_FUZZ=ON \
    -DQUORVALE_BUILD_TESTS=OFF -DQUORVALE_BUILD_BENCH=OFF >/dev/null
targets=$(cd fuzz && ls fuzz_*.cpp 2>/dev/null | sed 's/\.cpp$//')
[ -n "$targets" ] || { echo "fuzz-smoke: no fuzz targets"; exit 0; }
# shellcheck disable=SC2086
cmake --build "$build" --target $targets

failed=0
for t in $targets; do
    corpus=$(mktemp -d)
    [ -d "fuzz/corpus/$t" ] && cp -r "fuzz/corpus/$t/." "$corpus/"
    echo "fuzz-smoke: $t"
    if ! "$build/fuzz/$t" -seed="${QUORVALE_FUZZ_SEED:-1}" -runs="${QUORVALE_FUZZ_RUNS:-20000}" \
        -max_total_time="$seconds" -max_len=65536 -timeout=10 \
        -print_final_stats=0 "$corpus" >"$build/$t.log" 2>&1; then
        echo "fuzz-smoke: $t FAILED"; tail -40 "$build/$t.log"; failed=1
    fi
    rm -rf "$corpus"
done
exit $failed
