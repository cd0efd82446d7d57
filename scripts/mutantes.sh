#!/usr/bin/env bash
# Fault injection (make mutantes): proves that the tests catch the faults listed in
# tests/mutantes.txt. The checkout is copied to a scratch folder (build/mutantes, kept between
# runs so that rebuilding is incremental); for each entry the one-line fault is put in, the copy
# rebuilt and the CTest labels the entry names run (every test when it names none). A fault is
# caught ("detectado") when some test fails. Lines:
#   MUTANTE detectado|superviviente|inaplicable <descripción>
#   MUTANTES detectados N de M
# An entry whose text is not found exactly once, or whose fault does not build, is "inaplicable"
# and counts as not caught. Exit status 0 only when every fault is caught.
# Needs the PostgreSQL of scripts/con-postgresql.sh for the tests on that engine.
# Optional arguments: words; only the entries whose description contains one of them run.
set -uo pipefail
shopt -u patsub_replacement 2>/dev/null || true

raiz=$(cd "$(dirname "$0")/.." && pwd)
lista="$raiz/tests/mutantes.txt"
copia="${QUILTREN_MUTANTES:-$raiz/build/mutantes}"
build="$copia/build"
registros="$copia/registros"
[[ -f "$lista" ]] || { echo "ERROR: no existe $lista" >&2; exit 1; }
[[ -n "${QUILTREN_PG_URL:-}" ]] || { echo "ERROR: QUILTREN_PG_URL no está definida (use scripts/con-postgresql.sh)" >&2; exit 1; }

# The copy: every file of the checkout but its build folders and git's; unchanged files are not
# copied again, so only what changed since the last run is rebuilt.
mkdir -p "$copia" "$registros"
(
  cd "$raiz"
  find . \( -path ./build -o -path './build-*' -o -path ./.git \) -prune -o -type f -print
) | while IFS= read -r f; do
  destino="$copia/${f#./}"
  if ! cmp -s "$raiz/$f" "$destino"; then
    mkdir -p "$(dirname "$destino")"
    # A changed file gets the time of the copy: with its own older date it could look older than
    # an object built from a restored fault, and not be rebuilt.
    cp "$raiz/$f" "$destino"
  fi
done
(
  cd "$copia"
  find . \( -path ./build -o -path ./registros \) -prune -o -type f -print
) | while IFS= read -r f; do
  [[ -e "$raiz/$f" ]] || rm -f "$copia/$f"
done

# The object files are shared with other checkouts through ccache when it is there.
export CCACHE_BASEDIR="$copia" CCACHE_NOHASHDIR=1
lanzador=()
command -v ccache >/dev/null && lanzador=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# A changed library must not relink every test program that uses it.
if [[ ! -f "$build/build.ninja" ]]; then
  # shellcheck disable=SC2086
  cmake -S "$copia" -B "$build" -G Ninja ${CMAKE_FLAGS:--DCMAKE_BUILD_TYPE=RelWithDebInfo} "${lanzador[@]}" \
    -DCMAKE_LINK_DEPENDS_NO_SHARED=ON >"$registros/configurar.log" 2>&1 \
    || { cat "$registros/configurar.log" >&2; echo "ERROR: no se pudo configurar la copia" >&2; exit 1; }
fi
compilar() { cmake --build "$build" >"$1" 2>&1; }
probar() { # etiquetas (a,b) o vacío, registro
  local filtro=()
  [[ -n "$1" ]] && filtro=(-L "^(${1//,/|})\$")
  QUILTREN_SOAK= ctest --test-dir "$build" --no-tests=error --stop-on-failure --timeout 600 "${filtro[@]}" >"$2" 2>&1
}

# Entries: file ¦ labels ¦ exact text ¦ replacement ¦ description. Lines starting with # are notes.
sep=' ¦ '
declare -a archivos etiquetas textos reemplazos descripciones
while IFS= read -r linea || [[ -n "$linea" ]]; do
  [[ -z "${linea//[[:space:]]/}" || "$linea" == \#* ]] && continue
  resto=$linea
  campos=()
  for _ in 1 2 3 4; do
    [[ "$resto" == *"$sep"* ]] || { echo "ERROR: entrada mal formada en $lista: $linea" >&2; exit 1; }
    campos+=("${resto%%"$sep"*}")
    resto=${resto#*"$sep"}
  done
  campos+=("$resto")
  if [[ $# -gt 0 ]]; then
    elegida=0
    for palabra in "$@"; do [[ "${campos[4]}" == *"$palabra"* ]] && elegida=1; done
    [[ $elegida -eq 1 ]] || continue
  fi
  archivos+=("${campos[0]}"); etiquetas+=("${campos[1]}"); textos+=("${campos[2]}")
  reemplazos+=("${campos[3]}"); descripciones+=("${campos[4]}")
done <"$lista"
total=${#archivos[@]}
[[ $total -gt 0 ]] || { echo "ERROR: ninguna entrada en $lista" >&2; exit 1; }

# The unchanged copy must build and pass the labels the entries use, or nothing would be proven.
todas=$(printf '%s\n' "${etiquetas[@]}" | tr ',' '\n' | sed '/^$/d' | sort -u | paste -sd, -)
printf '%s\n' "${etiquetas[@]}" | grep -qx '' && todas=""
compilar "$registros/compilar.log" || { tail -n 30 "$registros/compilar.log" >&2; echo "ERROR: la copia sin fallos no compila" >&2; exit 1; }
if ! probar "$todas" "$registros/sin-fallos.log"; then
  grep -E 'Failed|\*\*\*' "$registros/sin-fallos.log" >&2
  echo "ERROR: las pruebas fallan sin ningún fallo introducido (vea $registros/sin-fallos.log)" >&2
  exit 1
fi

detectados=0
for ((i = 0; i < total; i++)); do
  archivo="$copia/${archivos[i]}"
  descripcion=${descripciones[i]}
  registro="$registros/$((i + 1)).log"
  inicio=$(date +%s)
  if [[ ! -f "$archivo" ]]; then
    echo "MUTANTE inaplicable $descripcion"
    continue
  fi
  original=$(cat "$archivo"; printf x); original=${original%x}
  texto=${textos[i]}
  despues=${original#*"$texto"}
  if [[ "$despues" == "$original" || "$despues" == *"$texto"* ]]; then
    echo "MUTANTE inaplicable $descripcion"
    continue
  fi
  cp "$archivo" "$registros/original"
  printf '%s' "${original/"$texto"/"${reemplazos[i]}"}" >"$archivo"
  if ! compilar "$registro"; then
    estado="inaplicable"
  elif probar "${etiquetas[i]}" "$registro"; then
    estado="superviviente"
  else
    estado="detectado"
    detectados=$((detectados + 1))
  fi
  # Restored with a new date, so that the next build puts the right object back.
  cat "$registros/original" >"$archivo"
  echo "MUTANTE $estado $descripcion"
  echo "  ($(( $(date +%s) - inicio )) s, $registro)" >&2
done
compilar "$registros/compilar.log" >/dev/null 2>&1
echo "MUTANTES detectados $detectados de $total"
[[ $detectados -eq $total ]]
