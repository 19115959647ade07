#!/usr/bin/env bash
# Lives a company's life for a number of days with one seed: builds the
# simulator when needed (default preset) and runs it. A broken invariant
# prints the seed, the day, the last operations and the invariant, and the
# script exits 1.
#   scripts/simula.sh --dias 3650 --semente 7 [--verboso] [--desliga INVARIANTE]
set -euo pipefail
cd "$(dirname "$0")/.."
if [ ! -f build/default/build.ninja ]; then
    scripts/install-deps.sh
    cmake --preset default
fi
cmake --build --preset default --target zenta_simulacao >/dev/null
exec build/default/bin/zenta_simulacao "$@"
