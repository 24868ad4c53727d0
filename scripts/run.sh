#!/usr/bin/env bash
# Installs what is missing, builds Quarrow (the program only, without its tests) and starts it in
# examples/, where Scan and Load 3 col work at once on LBA.TXT. Arguments are passed on to the program.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
cd "$top"

scripts/install-deps.sh run
cmake -S . -B build-run -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARROW_TESTS=OFF -DQUARROW_BENCH=OFF
cmake --build build-run --target quarrow
cd examples
exec "$top/build-run/quarrow" "$@"
