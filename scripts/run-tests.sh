#!/usr/bin/env bash
# Sets everything up, builds, and runs every test: the unit and widget tests on
# SQLite, then the server-mode tests against a throw-away PostgreSQL server.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
scripts/with-postgres.sh ctest --preset default "$@"
