#!/usr/bin/env bash
# Starts the demo host on its embedded SQLite database. Without a display it says so, runs the
# same window on a virtual X display (Xvfb) of 1920 × 1080 pixels, the screen a new user most
# likely has, saves a screenshot and prints where it is.
set -euo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
demo="$raiz/build/bin/quiltren-demo"
cd "$raiz"

if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
  exec "$demo" "$@"
fi

captura="$raiz/build/captura-quiltren.png"
echo "No hay pantalla disponible: se ejecuta en una pantalla virtual (Xvfb) de 1920 × 1080 píxeles y se guarda una captura."
# Xvfb picks a free display number itself and writes it to the file.
numero=$(mktemp)
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$numero" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -f "$numero"' EXIT
for _ in $(seq 1 100); do [[ -s "$numero" ]] && break; sleep 0.1; done
export DISPLAY=":$(tr -d '[:space:]' < "$numero")"
"$demo" --captura "$captura" "$@"
echo "Captura de la pantalla de 1920 × 1080 guardada en: $captura"
