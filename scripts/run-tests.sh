#!/usr/bin/env bash
# Sets everything up, builds, and runs every test: the unit and widget tests on
# SQLite, the server-mode tests against a throw-away PostgreSQL server, a few
# seeds of random keys through the whole program, and a short fuzzing run of the
# item-store readers.
#
# The suite runs once, built with the address and undefined-behaviour sanitizers
# (the asan preset): any report fails its test. scripts/run-app.sh makes the
# plain build of the same code.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-deps.sh
# setup-deps installed khal, todoman, khard and sqlite3: a test that finds one
# missing fails instead of skipping.
export QUORVALE_REQUIRE_TOOLS=1
cmake --preset asan >/dev/null
cmake --build --preset asan
scripts/with-postgres.sh ctest --preset asan --parallel 2 "$@"
scripts/fuzz-smoke.sh "${QUORVALE_FUZZ_SECONDS:-30}"
