#!/usr/bin/env bash
# Builds the Debian package and checks what it holds: libraries, headers, CMake and pkg-config
# packages, programs and data, no test-only header, dependencies computed from the libraries,
# the class registered on installation, and no path of the build folder in any file.
set -euo pipefail
compilacion=$(realpath "$1")
rm -rf "$compilacion/paquete"
(cd "$compilacion" && cpack -G DEB >/dev/null)
deb=$(ls "$compilacion"/paquete/quiltren_*.deb)
contenido=$(dpkg-deb -c "$deb")
echo "$contenido"
for archivo in 'lib/(.*/)?libquiltren\.so\.1\.0\.51' 'lib/(.*/)?libquiltren_tramacor\.so\.1' 'include/quiltren/InterfazClassProvincias\.h' \
  'lib/(.*/)?cmake/Quiltren/QuiltrenConfig(Version)?\.cmake' 'lib/(.*/)?pkgconfig/quiltren\.pc' 'bin/quiltren-registrar' \
  'bin/quiltren-demo' 'share/quiltren/fotos/fondo\.bmp'; do
  grep -qE " \./usr/$archivo( ->.*)?$" <<<"$contenido" || { echo "Falta $archivo en $deb" >&2; exit 1; }
done
if grep -q Falsos <<<"$contenido"; then echo "El paquete lleva cabeceras de prueba" >&2; exit 1; fi
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6
dpkg-deb -I "$deb" postinst | grep -q -- '--sistema'
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
dpkg-deb -x "$deb" "$tmp"
if grep -rlF "$compilacion" "$tmp"; then echo "El paquete lleva rutas de la compilación" >&2; exit 1; fi
