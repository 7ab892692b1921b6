#!/usr/bin/env bash
# Runs a command beside a throw-away PostgreSQL 15 server on a free loopback port,
# with an ODBC data source "QuorvaleTest" for it, then stops the server and removes
# everything it made. The command sees:
#   QUORVALE_TEST_ODBC_DSN   the data source name ("QuorvaleTest")
#   QUORVALE_TEST_PG_PORT    the server's port
#   QUORVALE_TEST_PG_USER    the server's user (trust authentication, no password)
#   QUORVALE_TEST_PG_CTL     a script that stops ("stop") and starts again ("start")
#                            the server on the same port, for tests of a lost server
#   QUORVALE_TEST_PG_DATA    the server's data directory
#   ODBCINI / ODBCSYSINI     unixODBC pointed at this run's own ini files
# Usage: scripts/with-postgres.sh COMMAND [ARGS...]
set -euo pipefail

pgbin=/usr/lib/postgresql/15/bin
if [ ! -x "$pgbin/pg_ctl" ]; then
    echo "with-postgres: PostgreSQL 15 is not installed (scripts/setup-deps.sh installs it)" >&2
    exit 1
fi

work=$(mktemp -d /tmp/qvpg.XXXXXX)
chmod 755 "$work"
datadir="$work/data"
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1]); s.close()')

as_postgres() {
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u postgres -- "$@"
    else
        "$@"
    fi
}

mkdir -p "$datadir"
[ "$(id -u)" -eq 0 ] && chown postgres:postgres "$datadir"

cleanup() {
    as_postgres "$pgbin/pg_ctl" -D "$datadir" -m immediate stop >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

as_postgres "$pgbin/initdb" -D "$datadir" -U qvtest --auth=trust -E UTF8 >"$work/initdb.log" 2>&1 ||
    { cat "$work/initdb.log" >&2; exit 1; }
# In the configuration rather than on the command line, so a restart keeps the port.
cat >>"$datadir/postgresql.conf" <<CONF
listen_addresses = '127.0.0.1'
port = $port
fsync = off
unix_socket_directories = '$datadir'
CONF
# Stops ("stop": at once, as a crash or a pulled cable would) and starts the server.
cat >"$work/pgctl" <<SH
#!/usr/bin/env bash
set -euo pipefail
case "\${1:-}" in
stop) mode=(-m immediate stop) ;;
start) mode=(-w -t 30 -l "$datadir/server.log" start) ;;
*) echo "usage: \$0 stop|start" >&2; exit 2 ;;
esac
if [ "\$(id -u)" -eq 0 ]; then
    exec runuser -u postgres -- "$pgbin/pg_ctl" -D "$datadir" "\${mode[@]}" >/dev/null
fi
exec "$pgbin/pg_ctl" -D "$datadir" "\${mode[@]}" >/dev/null
SH
chmod 755 "$work/pgctl"
"$work/pgctl" start
as_postgres "$pgbin/createdb" -h 127.0.0.1 -p "$port" -U qvtest quorvale_test

driver=$(find /usr/lib -name psqlodbcw.so 2>/dev/null | head -n 1)
cat >"$work/odbcinst.ini" <<INI
[PostgreSQL Unicode]
Description=PostgreSQL ODBC driver (Unicode)
Driver=$driver
INI
cat >"$work/odbc.ini" <<INI
[QuorvaleTest]
Driver=PostgreSQL Unicode
Servername=127.0.0.1
Port=$port
Database=quorvale_test
UseServerSidePrepare=1
BoolsAsChar=0
INI

export ODBCSYSINI="$work" ODBCINI="$work/odbc.ini"
export QUORVALE_TEST_ODBC_DSN=QuorvaleTest QUORVALE_TEST_PG_PORT="$port"
export QUORVALE_TEST_PG_USER=qvtest
export QUORVALE_TEST_PG_CTL="$work/pgctl" QUORVALE_TEST_PG_DATA="$datadir"
"$@"
