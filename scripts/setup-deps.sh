#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the benchmarks need.
# Idempotent: when everything is present it changes nothing and asks no mirror.
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config ccache python3
    qt6-base-dev qt6-qpa-plugins libx11-dev libxss-dev libqt6sql6-sqlite libqt6sql6-odbc libqt6sql6-psql
    libical-dev libgmime-3.0-dev
    sqlite3 libsqlite3-dev
    unixodbc unixodbc-dev odbc-postgresql postgresql-15
    libgtest-dev libgmock-dev
    xvfb xauth desktop-file-utils dbus-daemon
    khal todoman khard
    clang-14 libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
