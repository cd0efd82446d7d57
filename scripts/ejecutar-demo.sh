#!/usr/bin/env bash
# Starts the demo host on its embedded SQLite database. Without a display it says so, runs the
# same window on a virtual X display (Xvfb), saves a screenshot and prints where it is.
set -euo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
demo="$raiz/build/bin/quiltren-demo"
cd "$raiz"

if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
  exec "$demo" "$@"
fi

captura="$raiz/build/captura-quiltren.png"
echo "No hay pantalla disponible: se ejecuta en una pantalla virtual (Xvfb) y se guarda una captura."
export DISPLAY=:$(( 90 + RANDOM % 100 ))
Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 1 50); do [[ -e "/tmp/.X11-unix/X${DISPLAY#:}" ]] && break; sleep 0.1; done
"$demo" --captura "$captura" "$@"
echo "Captura de la ventana guardada en: $captura"
