#!/usr/bin/env bash
# Runs a command with a throw-away CUPS scheduler: its own configuration, spool and logs in a
# temporary directory, reachable only through a socket there (no network port), and one print
# queue, quiltren-prueba (the default), whose jobs land as files in a folder. Nothing of the
# system's CUPS (its configuration, queues or scheduler) is read or touched. The scheduler is
# stopped and its directory removed when the command ends, whether it passed or failed.
# The command finds the server in CUPS_SERVER (the socket, as every CUPS client reads it) and the
# folder of the printed jobs in QUILTREN_CUPS_SALIDA: each job is COLA-NÚMERO.pdf there. When the
# scheduler cannot start, the command still runs, with the reason in QUILTREN_CUPS_FALLO, so that
# the printing tests fail saying why while the others run.
set -uo pipefail

dir=$(mktemp -d /tmp/quiltren-cups.XXXXXX)
# The backend runs as lp and has to reach its own program and the folder of the jobs.
chmod 755 "$dir"
mkdir -p "$dir"/{etc,lib/backend,spool,tmp,cache,run,log,salida}
pid=""

parar() {
  if [[ -n "$pid" ]]; then
    kill "$pid" 2>/dev/null
    for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null
  fi
  rm -rf "$dir"
}
trap parar EXIT
trap 'exit 1' INT TERM

arrancar() {
  local cupsd
  cupsd=$(command -v cupsd || echo /usr/sbin/cupsd)
  [[ -x "$cupsd" ]] || { echo "no está instalado cupsd (paquete cups)"; return 1; }
  command -v lpadmin >/dev/null || { echo "no está instalado lpadmin (paquete cups-client)"; return 1; }

  # Filters and helper programs are the system's; only the backends are our own.
  for sub in daemon filter notifier monitor cgi-bin; do
    [[ -e "/usr/lib/cups/$sub" ]] && ln -s "/usr/lib/cups/$sub" "$dir/lib/$sub"
  done
  cat >"$dir/lib/backend/carpeta" <<'EOF'
#!/bin/sh
# Test backend: copies each job into the folder of the device URI (carpeta:/ruta) as COLA-TRABAJO.pdf.
[ $# -eq 0 ] && { echo 'direct carpeta "Quiltren" "Carpeta de pruebas de Quiltren"'; exit 0; }
destino="${DEVICE_URI#carpeta:}/$PRINTER-$1"
if [ -n "$6" ]; then cat "$6"; else cat; fi >"$destino.parcial" && mv "$destino.parcial" "$destino.pdf"
EOF
  chmod 755 "$dir/lib/backend/carpeta"

  local usuario=lp grupo=lp
  if [[ $(id -u) -eq 0 ]]; then
    chown lp "$dir/salida"
  else
    usuario=$(id -un); grupo=$(id -gn)
  fi
  cat >"$dir/cups-files.conf" <<EOF
User $usuario
Group $grupo
SystemGroup root
ServerRoot $dir/etc
ServerBin $dir/lib
RequestRoot $dir/spool
TempDir $dir/tmp
CacheDir $dir/cache
StateDir $dir/run
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
Printcap $dir/run/printcap
FileDevice No
EOF
  cat >"$dir/cupsd.conf" <<EOF
LogLevel warn
Listen $dir/cups.sock
Browsing No
BrowseLocalProtocols none
WebInterface No
DefaultAuthType None
PreserveJobHistory No
<Policy default>
  JobPrivateAccess all
  JobPrivateValues none
  SubscriptionPrivateAccess all
  SubscriptionPrivateValues none
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF

  "$cupsd" -f -c "$dir/cupsd.conf" -s "$dir/cups-files.conf" >"$dir/log/cupsd.out" 2>&1 &
  pid=$!
  export CUPS_SERVER="$dir/cups.sock"
  for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || { cat "$dir/log/cupsd.out" "$dir/log/error_log" 2>/dev/null; echo "cupsd ha terminado al arrancar"; return 1; }
    [[ -S "$CUPS_SERVER" ]] && LC_ALL=C lpstat -r 2>/dev/null | grep -q 'is running' && break
    sleep 0.1
  done
  LC_ALL=C lpstat -r 2>/dev/null | grep -q 'is running' || { echo "cupsd no responde en $CUPS_SERVER"; return 1; }
  # A raw queue: the job reaches the backend as the program sent it (a PDF), unfiltered.
  lpadmin -p quiltren-prueba -E -v "carpeta:$dir/salida" >"$dir/log/lpadmin.out" 2>&1 \
    && lpadmin -d quiltren-prueba >>"$dir/log/lpadmin.out" 2>&1 \
    || { cat "$dir/log/lpadmin.out" "$dir/log/error_log" 2>/dev/null; echo "no se pudo crear la cola de pruebas"; return 1; }
}

if arrancar >"$dir/log/arranque" 2>&1; then
  export QUILTREN_CUPS_SALIDA="$dir/salida"
  echo "CUPS de pruebas en $CUPS_SERVER, cola quiltren-prueba"
else
  unset CUPS_SERVER
  export QUILTREN_CUPS_FALLO="no se pudo arrancar el CUPS de pruebas: $(tr '\n' ' ' <"$dir/log/arranque")"
  echo "ERROR: $QUILTREN_CUPS_FALLO" >&2
fi
"$@"
