#!/usr/bin/env bash
# Installs into a temporary prefix; every public header compiles on its own; the minimal host,
# built from a copy of its sources against that prefix alone, refuses an unregistered class and
# then runs Cargar, Ocultar and Cerrar on a fresh database; the installed demo, started where no
# "fotos" folder is, still draws the listing's background picture.
set -euo pipefail
compilacion=$(realpath "$1") raiz=$(realpath "$2")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cmake --install "$compilacion" --prefix "$tmp/p" >/dev/null
export PKG_CONFIG_PATH=$(dirname "$(find "$tmp/p" -name quiltren.pc)")
export OPCIONES=$(pkg-config --cflags quiltren)
ls "$(pkg-config --variable=includedir quiltren)/quiltren" | xargs -P2 -I{} sh -c \
  'echo "#include <quiltren/{}>" | c++ -std=c++17 -fsyntax-only $OPCIONES -x c++ - || { echo "La cabecera {} no compila sola" >&2; exit 255; }'

cp -r "$raiz/ejemplos/anfitrion-minimo" "$tmp/fuentes"
cmake -S "$tmp/fuentes" -B "$tmp/b" -G Ninja -DCMAKE_PREFIX_PATH="$tmp/p" >/dev/null
cmake --build "$tmp/b" >/dev/null
if grep -qF "$raiz" "$tmp/b/build.ninja" "$tmp/b/anfitrion-minimo"; then
  echo "La anfitriona mínima usa rutas del árbol de Quiltren" >&2; exit 1
fi

export QT_QPA_PLATFORM=offscreen QUILTREN_REGISTRO="$tmp/registro-clases"
cd "$tmp"
if "$tmp/b/anfitrion-minimo" base.sqlite --prueba 2>error.txt; then
  echo "La anfitriona creó una clase sin registrar" >&2; exit 1
fi
grep -q "La clase «Quiltren.ClassProvincias» no está registrada" error.txt
"$tmp/p/bin/quiltren-registrar" "$(pkg-config --variable=componente quiltren)"
"$tmp/b/anfitrion-minimo" base.sqlite --prueba

"$tmp/p/bin/quiltren-demo" --db base.sqlite --listado listado.pdf
pdfimages -list listado.pdf | grep -q ' image ' || { echo "El listado no lleva la imagen de fondo instalada" >&2; exit 1; }
