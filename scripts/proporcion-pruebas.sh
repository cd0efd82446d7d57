#!/usr/bin/env bash
# Size of the tests against the product: lines of every .cpp/.h under tests/ (the support
# library included) and of every .cpp/.h outside tests/, bench/ and the build folders.
# Prints "PRUEBAS <líneas> CODIGO <líneas> PROPORCION <porcentaje>".
set -euo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
cd "$raiz"
lineas() { xargs -0 -r cat -- | wc -l; }
pruebas=$(find tests -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | lineas)
codigo=$(find . \( -path ./tests -o -path ./bench -o -path ./build -o -path './build-*' -o -path ./.git \) -prune \
  -o -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | lineas)
awk -v p="$pruebas" -v c="$codigo" 'BEGIN { printf "PRUEBAS %d CODIGO %d PROPORCION %.1f\n", p, c, c ? 100 * p / c : 0 }'
