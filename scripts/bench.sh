#!/usr/bin/env bash
# Speed measurements (make bench): generated tables of 10 thousand, 100 thousand and a million
# provinces on SQLite and PostgreSQL (generation not measured), each figure against a baseline
# measured in the same run. Lines: "BENCH <name> <value> <unit>" and "RATIO <name> <value>"
# (ours / baseline, lower is better), then the goals met or missed; a missed goal fails the run
# (the memory of twenty thousand preview pages is checked here only). Needs the PostgreSQL of
# scripts/con-postgresql.sh.
set -uo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
build="${BUILD:-$raiz/build}"
bench="$build/bin/quiltren-bench"
[[ -x "$bench" ]] || { echo "ERROR: no existe $bench (compile antes)" >&2; exit 1; }
[[ -n "${QUILTREN_PG_URL:-}" ]] || { echo "ERROR: QUILTREN_PG_URL no está definida (use scripts/con-postgresql.sh)" >&2; exit 1; }
export QT_QPA_PLATFORM=offscreen
cd "$raiz"

salida=$(mktemp /tmp/quiltren-bench.XXXXXX)
trap 'rm -f "$salida"' EXIT
fallos=0
medir() {
  "$bench" "$@" | tee -a "$salida"
  local estado=${PIPESTATUS[0]}
  [[ $estado -eq 0 ]] || { echo "ERROR: quiltren-bench $* terminó con $estado" >&2; fallos=$((fallos + 1)); }
}

for motor in sqlite postgresql; do
  for filas in 10000 100000 1000000; do
    medir grilla "$motor" "$filas"
  done
  medir busqueda "$motor" 1000000
done
for motor in sqlite postgresql; do
  for paginas in 1 200 5000; do
    medir listado "$motor" "$paginas"
  done
done
medir vista sqlite 1000
medir vista sqlite 20000

valor() { awk -v n="$1" '$1 == "BENCH" && $2 == n { print $3 }' "$salida"; }
razon() { awk -v n="$1" '$1 == "RATIO" && $2 == n { print $3 }' "$salida"; }
objetivo() { # texto, condición de awk sobre x
  local texto=$1 x=$2 cond=$3
  if [[ -z "$x" ]]; then echo "OBJETIVO sin medir: $texto"; fallos=$((fallos + 1)); return; fi
  if awk -v x="$x" "BEGIN { exit !($cond) }"; then echo "OBJETIVO cumplido: $texto ($x)"; else echo "OBJETIVO incumplido: $texto ($x)"; fallos=$((fallos + 1)); fi
}

echo
for motor in sqlite postgresql; do
  for t in 10k 100k 1M; do
    objetivo "llenado de la rejilla ≤ 2 × lectura desnuda, $motor $t" "$(razon grilla_llenado_${motor}_$t)" "x <= 2"
  done
  objetivo "ventana de nuevo atenta en ≤ 1 s tras llenar 1M, $motor" "$(valor grilla_respuesta_${motor}_1M)" "x <= 1000"
  objetivo "selección de fila p95 ≤ 5 ms con 100k, $motor" "$(valor seleccion_p95_${motor}_100k)" "x <= 5"
done
cociente() { [[ -n "$1" && -n "$2" ]] && awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b / a }'; }
for motor in sqlite postgresql; do
  objetivo "tiempo por página a 5000 páginas ≤ 1,2 × a 200, $motor" \
    "$(cociente "$(valor listado_por_pagina_${motor}_200p)" "$(valor listado_por_pagina_${motor}_5000p)")" "x <= 1.2"
  objetivo "memoria del listado plana (5000 / 200 páginas ≤ 1,2), $motor" \
    "$(cociente "$(valor listado_memoria_${motor}_200p)" "$(valor listado_memoria_${motor}_5000p)")" "x <= 1.2"
  objetivo "PDF de 5000 páginas ≤ 8 KB por página (el fondo, una sola vez), $motor" \
    "$(valor listado_bytes_por_pagina_${motor}_5000p)" "x <= 8192"
done
objetivo "vista previa de 20000 páginas mostrada" "$(valor vista_primera_pagina_sqlite_20000p)" "x > 0"
objetivo "primera página de la vista previa a 20000 páginas ≤ 2 × a 1 página" "$(razon vista_primera_pagina_20000p_vs_1p)" "x <= 2"
objetivo "memoria máxima de la vista previa de 20000 páginas ≤ 159 MiB" "$(valor vista_memoria_sqlite_20000p)" "x <= 159"
[[ $fallos -eq 0 ]]
