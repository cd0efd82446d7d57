#!/usr/bin/env bash
# Full fault set (make soak): the tests of tests/fallos with their full counts
# (QUILTREN_SOAK=1): hundreds of kills of a writing process, longer
# runs of concurrent connections. Needs the PostgreSQL of scripts/con-postgresql.sh. Ends with
# the line "N passed, N failed", adding up the test functions of every program.
set -uo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
build="${BUILD:-$raiz/build}"
pruebas="$build/tests"
[[ -n "${QUILTREN_PG_URL:-}" ]] || { echo "ERROR: QUILTREN_PG_URL no está definida (use scripts/con-postgresql.sh)" >&2; exit 1; }
compgen -G "$pruebas/fallos_caidas" >/dev/null || { echo "ERROR: no hay pruebas de fallos en $pruebas (compile antes)" >&2; exit 1; }

export QUILTREN_SOAK=1 QT_QPA_PLATFORM=offscreen QUILTREN_RAIZ="$raiz"
registro=$(mktemp -d /tmp/quiltren-soak.XXXXXX)
trap 'rm -rf "$registro"' EXIT
aprobadas=0; falladas=0
# Each program once per engine (QUILTREN_MOTOR).
for prueba in "$pruebas"/fallos_*; do
 for motor in sqlite postgresql; do
  nombre=$(basename "$prueba")
  # The writer is the tests' helper process, not a test.
  [[ -f "$prueba" && -x "$prueba" && "$nombre" != fallos_escritor ]] || continue
  nombre="${nombre}_$motor"
  export QUILTREN_REGISTRO="$registro/$nombre.registro" QUILTREN_MOTOR=$motor
  inicio=$(date +%s)
  timeout 1800 "$prueba" >"$registro/$nombre.txt" 2>&1
  estado=$?
  totales=$(grep -E '^Totals: ' "$registro/$nombre.txt" | tail -n 1)
  a=$(sed -nE 's/^Totals: ([0-9]+) passed, ([0-9]+) failed.*/\1/p' <<<"$totales")
  f=$(sed -nE 's/^Totals: ([0-9]+) passed, ([0-9]+) failed.*/\2/p' <<<"$totales")
  if [[ -z "$a" ]]; then a=0; f=1; fi
  # A program that died or failed without a failing function still counts as one failure.
  if [[ $estado -ne 0 && $f -eq 0 ]]; then f=1; fi
  aprobadas=$((aprobadas + a)); falladas=$((falladas + f))
  printf '%-36s %4d aprobadas %4d falladas  %4ds\n' "$nombre" "$a" "$f" "$(( $(date +%s) - inicio ))"
  grep -E '^(QINFO|FAIL!)' "$registro/$nombre.txt" | sed 's/^/    /' | cut -c1-400
 done
done
echo "$aprobadas passed, $falladas failed"
[[ $falladas -eq 0 ]]
