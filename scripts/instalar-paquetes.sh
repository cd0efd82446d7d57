#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, only those missing.
# A second run finds everything installed and does nothing.
set -euo pipefail

paquetes=(
  g++ cmake ninja-build make
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-psql
  libsqlite3-dev sqlite3 libpq-dev zlib1g-dev
  postgresql
  fonts-urw-base35 fontconfig
  xvfb xauth
  poppler-utils
  dpkg-dev file pkgconf
  cups cups-client libcups2-dev qt6-translations-l10n
)
# Packages only some targets need (gcovr for make cobertura) come as arguments.
paquetes+=("$@")

faltan=()
for p in "${paquetes[@]}"; do
  estado=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$estado" == "install ok installed" ]] || faltan+=("$p")
done
[[ ${#faltan[@]} -eq 0 ]] && exit 0

echo "Instalando paquetes que faltan: ${faltan[*]}"
como_root=()
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "Faltan paquetes y no hay sudo: ${faltan[*]}" >&2; exit 1; }
  como_root=(sudo)
fi
"${como_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
"${como_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${faltan[@]}"
