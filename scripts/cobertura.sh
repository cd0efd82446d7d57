#!/usr/bin/env bash
# Line coverage (make cobertura): builds the checkout with gcc's coverage counters in a folder of
# its own (build/cobertura, or $BUILD_COBERTURA), runs every test there and prints
# "COBERTURA <porcentaje>" of the product's lines (everything but tests/, bench/ and generated
# files). Needs gcovr and the PostgreSQL of scripts/con-postgresql.sh.
set -uo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
build="${BUILD_COBERTURA:-$raiz/build/cobertura}"
command -v gcovr >/dev/null || { echo "ERROR: falta gcovr (scripts/instalar-paquetes.sh gcovr)" >&2; exit 1; }
[[ -n "${QUILTREN_PG_URL:-}" ]] || { echo "ERROR: QUILTREN_PG_URL no está definida (use scripts/con-postgresql.sh)" >&2; exit 1; }

lanzador=()
command -v ccache >/dev/null && lanzador=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# Counters updated atomically: the concurrency tests write from several threads at once, and
# plain counters can then come out negative, which gcovr refuses to read.
cmake -S "$raiz" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Cobertura "${lanzador[@]}" \
  -DCMAKE_CXX_FLAGS_COBERTURA="-O1 --coverage -fprofile-update=atomic" -DCMAKE_EXE_LINKER_FLAGS_COBERTURA=--coverage \
  -DCMAKE_SHARED_LINKER_FLAGS_COBERTURA=--coverage -DCMAKE_MODULE_LINKER_FLAGS_COBERTURA=--coverage \
  -DCMAKE_LINK_DEPENDS_NO_SHARED=ON >/dev/null || exit 1
cmake --build "$build" || exit 1
# Counters of an earlier run would add to this one.
find "$build" -name '*.gcda' -delete
ctest --test-dir "$build" --timeout 900 >"$build/pruebas.log" 2>&1
estado=$?
tail -n 3 "$build/pruebas.log"
[[ $estado -eq 0 ]] || echo "AVISO: alguna prueba ha fallado (vea $build/pruebas.log); la cobertura cuenta lo que se ejecutó" >&2
# The report goes to a file of the build: gcovr replaces its output file, and as root it would
# replace /dev/null with a plain file.
porcentaje=$(gcovr --root "$raiz" --object-directory "$build" --exclude "$raiz/tests/" --exclude "$raiz/bench/" \
  --exclude "$build/" --exclude "$raiz/build/" --exclude '.*_autogen/.*' \
  --print-summary -o "$build/cobertura.txt" 2>/dev/null | sed -nE 's/^lines: ([0-9.]+)%.*/\1/p')
[[ -n "$porcentaje" ]] || { echo "ERROR: gcovr no dio un resultado" >&2; exit 1; }
echo "COBERTURA $porcentaje"
