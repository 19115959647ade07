#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan+UBSan) and runs each for a while
# from an empty corpus. Usage: scripts/fuzz.sh [seconds per target, default 20]
set -euo pipefail
cd "$(dirname "$0")/.."
segundos="${1:-20}"
scripts/install-deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target zenta_fuzz
for alvo in build/fuzz/bin/fuzz_*; do
    [ -x "$alvo" ] || continue
    nome=$(basename "$alvo")
    corpus="build/fuzz/corpus/$nome"
    mkdir -p "$corpus"
    echo "== $nome (${segundos}s)"
    saida="build/fuzz/$nome.log"
    rc=0
    "$alvo" -max_total_time="$segundos" -print_final_stats=1 -artifact_prefix="build/fuzz/$nome-" "$corpus" >"$saida" 2>&1 || rc=$?
    grep -E "^(stat::number_of_executed_units|Done)" "$saida" || true
    if [ "$rc" -ne 0 ]; then
        tail -n 60 "$saida"
        echo "$nome found a failure"
        exit 1
    fi
done
