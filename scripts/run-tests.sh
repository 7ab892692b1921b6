#!/usr/bin/env bash
# Sets everything up, builds, and runs every test: the unit and widget tests on
# SQLite, the server-mode tests against a throw-away PostgreSQL server, a few
# seeds of random keys through the whole program, and a short fuzzing run of the
# item-store readers.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
scripts/with-postgres.sh ctest --preset default --parallel 2 "$@"
scripts/fuzz-smoke.sh "${QUORVALE_FUZZ_SECONDS:-30}"
