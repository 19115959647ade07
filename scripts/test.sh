#!/usr/bin/env bash
# Builds and runs every test. With a preset name (asan, tsan, debug), builds
# and tests that configuration instead of the default one; further arguments
# go to ctest (e.g. -R to pick tests).
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"
scripts/install-deps.sh
cmake --preset "$preset"
cmake --build --preset "$preset"
ctest --preset "$preset" "${@:2}"
