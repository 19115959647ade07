#!/usr/bin/env bash
# Builds the server and runs the main job: the command-line client builds a
# demo company (sample ERP master data, properties, maintenance plans with
# time and meter maintenances, meter readings with history, a replaced meter)
# through the service and shows the result. Arguments are zentactl's global
# options (e.g. --empresa ACME); the demo company is rebuilt on every run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
# Only what the demo runs: the client and the local server (the tests are
# built by scripts/test.sh).
cmake --build --preset default --target zentactl zenta_servidor
export ZENTA_HOME="${ZENTA_HOME:-$PWD/build/zenta-home}"
exec build/default/bin/zentactl "$@" demo --recriar
