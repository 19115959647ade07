#!/usr/bin/env bash
# Builds the server and runs the main job: a service object initialised for a
# demo company, in-process, reporting what it did.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
export ZENTA_HOME="${ZENTA_HOME:-$PWD/build/zenta-home}"
exec build/default/bin/zenta-demo "$@"
