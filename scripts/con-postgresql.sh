#!/usr/bin/env bash
# Runs a command with a throw-away PostgreSQL 15 server: its own non-root user, loopback only,
# a temporary directory and a random free port. The server is stopped and its directory
# removed when the command ends, whether it passed or failed.
# The command finds the server in QUILTREN_PG_URL (postgresql://usuario@127.0.0.1:puerto/postgres).
set -uo pipefail

pgbin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
[[ -x "$pgbin/initdb" ]] || { echo "ERROR: no se encuentra PostgreSQL (initdb)" >&2; exit 1; }

dir=$(mktemp -d /tmp/quiltren-pg.XXXXXX)
chmod 755 "$dir"
if [[ $(id -u) -eq 0 ]]; then
  usuario=postgres
  chown postgres:postgres "$dir"
  como() { runuser -u postgres -- "$@"; }
else
  usuario=$(id -un)
  como() { "$@"; }
fi

parar() {
  como "$pgbin/pg_ctl" -D "$dir/datos" stop -m fast >/dev/null 2>&1 || true
  rm -rf "$dir"
}
trap parar EXIT INT TERM

como "$pgbin/initdb" -A trust -E UTF8 --locale=C.UTF-8 -U "$usuario" -D "$dir/datos" >"$dir/initdb.log" 2>&1 \
  || { cat "$dir/initdb.log" >&2; echo "ERROR: initdb ha fallado" >&2; exit 1; }

puerto=""
for _ in $(seq 1 20); do
  p=$(( 20000 + RANDOM % 40000 ))
  if (exec 3<>"/dev/tcp/127.0.0.1/$p") 2>/dev/null; then continue; fi
  if como "$pgbin/pg_ctl" -D "$dir/datos" -l "$dir/servidor.log" -w -t 30 start \
       -o "-c listen_addresses=127.0.0.1 -p $p -k $dir -c fsync=off -c max_connections=200" >/dev/null 2>&1; then
    puerto=$p; break
  fi
done
[[ -n "$puerto" ]] || { cat "$dir/servidor.log" >&2 2>/dev/null; echo "ERROR: no se pudo arrancar PostgreSQL" >&2; exit 1; }

export QUILTREN_PG_URL="postgresql://$usuario@127.0.0.1:$puerto/postgres"
export QUILTREN_PG_BIN="$pgbin"
export QUILTREN_PG_DATOS="$dir/datos"
echo "PostgreSQL de pruebas en 127.0.0.1:$puerto"
"$@"
