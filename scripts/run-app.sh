#!/usr/bin/env bash
# Sets everything up, builds, and runs Quorvale. The first run makes a demo
# database in the program directory ($QUORVALE_HOME, else the per-user data
# directory) with `qvadmin init --demo`.
#
# Without a display, pass --xvfb to run on a virtual one (for a look with
# screenshots), or run this from a desktop session.
set -euo pipefail
cd "$(dirname "$0")/.."

xvfb=0
[ "${1:-}" = "--xvfb" ] && xvfb=1

scripts/setup-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target quorvale qvadmin

program_dir="${QUORVALE_HOME:-${XDG_DATA_HOME:-$HOME/.local/share}/Kestrune Software/Quorvale}"
if [ ! -f "$program_dir/QVLink.db" ]; then
    echo "First run: making a demo database in $program_dir"
    build/tools/qvadmin/qvadmin init --demo
fi

if [ "$xvfb" = 1 ]; then
    exec xvfb-run -a build/src/app/quorvale
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display. Run this from a desktop session, or: scripts/run-app.sh --xvfb" >&2
    exit 1
fi
exec build/src/app/quorvale
