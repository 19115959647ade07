#!/usr/bin/env bash
# Measures what the unit tests catch: applies, one at a time, the small
# faults listed in scripts/mutantes.txt (a comparison flipped, a bound off by
# one, a step skipped), rebuilds the programs it runs, runs the tests of the
# mutated area and restores the source. Prints per mutant "killed" or
# "survived" and at the end killed/total. An area whose filter names
# simulator seeds also lives a short company life per seed (tests/simulacao)
# when its tests let the mutant through: a broken invariant kills it.
#   scripts/mutantes.sh [--so N[,N...]] [--lista] [--limite SEGUNDOS]
#     --so N,M     runs only mutants N and M (numbered from 1 in list order)
#     --lista      lists the mutants and checks that each one still applies
#     --limite S   time limit per mutant (default: four times the clean run
#                  of the same tests, at least 60 s); running out counts as
#                  killed: the fault made the tests hang
# Everything happens in build/mutantes (configured like the default preset),
# so a developer's build tree is left alone. Mutants live only in .cpp files
# of the library: one object is compiled, the static library of the
# internals archived again and the programs that link it relinked: the test
# program, with the local server and zentactl it starts, and the simulator
# when seeds are run.
set -euo pipefail
cd "$(dirname "$0")/.."
raiz=$(pwd)
lista_arquivo=scripts/mutantes.txt
arvore=build/mutantes
logs=$arvore/mutantes-logs

so=""
listar=0
limite_fixo=""
while [ $# -gt 0 ]; do
    case "$1" in
        --so) so="${2:?--so takes mutant numbers}"; shift 2 ;;
        --lista) listar=1; shift ;;
        --limite) limite_fixo="${2:?--limite takes seconds}"; shift 2 ;;
        *) echo "unknown option: $1" >&2; exit 2 ;;
    esac
done

# ---- The list ------------------------------------------------------------------------
# Lines: "file<TAB>original<TAB>replacement<TAB>filter"; "file#N" mutates the
# Nth occurrence of a text that repeats in the file. A filter "@name"
# names one defined by a line "@name<TAB>gtest filter[<TAB>seeds]", where
# seeds (comma-separated) are simulator lives of $dias_simulacao days run
# after the tests. "#" starts a comment.
dias_simulacao=120
declare -A filtros=() sementes_filtro=()
arquivos=() vezes=() originais=() novos=() filtros_mutante=() sementes_mutante=()
numero_linha=0
while IFS= read -r linha || [ -n "$linha" ]; do
    numero_linha=$((numero_linha + 1))
    [[ -z "${linha//[[:space:]]/}" || "$linha" == \#* ]] && continue
    # Split at every tab: a field may be empty (a replacement that deletes).
    campos=()
    resto=$linha
    while [[ "$resto" == *$'\t'* ]]; do
        campos+=("${resto%%$'\t'*}")
        resto=${resto#*$'\t'}
    done
    campos+=("$resto")
    if [[ "$linha" == @* ]]; then
        [ ${#campos[@]} -eq 2 ] || [ ${#campos[@]} -eq 3 ] ||
            { echo "$lista_arquivo:$numero_linha: a filter line has two or three fields" >&2; exit 2; }
        [ ${#campos[@]} -eq 2 ] || [[ "${campos[2]}" =~ ^[0-9]+(,[0-9]+)*$ ]] ||
            { echo "$lista_arquivo:$numero_linha: seeds are numbers separated by commas" >&2; exit 2; }
        filtros["${campos[0]}"]="${campos[1]}"
        sementes_filtro["${campos[0]}"]="${campos[2]:-}"
        continue
    fi
    [ ${#campos[@]} -eq 4 ] || { echo "$lista_arquivo:$numero_linha: a mutant has four tab-separated fields" >&2; exit 2; }
    filtro="${campos[3]}" sementes=""
    if [[ "$filtro" == @* ]]; then
        [ -n "${filtros[$filtro]:-}" ] || { echo "$lista_arquivo:$numero_linha: filter $filtro not defined above" >&2; exit 2; }
        sementes="${sementes_filtro[$filtro]}"
        filtro="${filtros[$filtro]}"
    fi
    arquivo="${campos[0]}" vez=""
    if [[ "$arquivo" =~ ^(.*)#([0-9]+)$ ]]; then arquivo=${BASH_REMATCH[1]} vez=${BASH_REMATCH[2]}; fi
    vezes+=("$vez")
    arquivos+=("$arquivo") originais+=("${campos[1]}") novos+=("${campos[2]}") filtros_mutante+=("$filtro")
    sementes_mutante+=("$sementes")
done <"$lista_arquivo"
total_lista=${#arquivos[@]}
indices=()
for n in ${so//,/ }; do
    if ! [[ "$n" =~ ^[0-9]+$ ]] || [ "$n" -lt 1 ] || [ "$n" -gt "$total_lista" ]; then
        echo "--so takes numbers from 1 to $total_lista" >&2
        exit 2
    fi
    indices+=("$((n - 1))")
done
[ -n "$so" ] || indices=($(seq 0 $((total_lista - 1))))

# How often the original text occurs in the file (literally), the line of its
# Nth occurrence (default the first), and the file with that one replaced.
ocorrencias() { ORIGINAL="$2" perl -0777 -ne '$n = () = /\Q$ENV{ORIGINAL}\E/g; print $n' "$1"; }
linha_de() {
    ORIGINAL="$2" VEZ="${3:-1}" perl -0777 -ne '$k = 0; while (/\Q$ENV{ORIGINAL}\E/g) {
        if (++$k == $ENV{VEZ}) { print 1 + (() = substr($_, 0, $-[0]) =~ /\n/g); last } }' "$1"
}
substitui() { ORIGINAL="$2" NOVO="$3" VEZ="${4:-1}" perl -0777 -pe '$k = 0; s/\Q$ENV{ORIGINAL}\E/++$k == $ENV{VEZ} ? $ENV{NOVO} : $&/ge' "$1"; }

# A mutant applies when its file is a library source and its text occurs
# exactly once: a text that moved or repeats must be fixed in the list.
confere() {
    local i=$1 f=${arquivos[$1]}
    case "$f" in
        logic/*.cpp | core/qvdatabase/*.cpp | integration/*.cpp | server/*.cpp) ;;
        *) echo "mutant $((i + 1)): $f is not a library source of logic/, core/qvdatabase/, integration/ or server/"; return 1 ;;
    esac
    [ -f "$f" ] || { echo "mutant $((i + 1)): $f does not exist"; return 1; }
    local n
    n=$(ocorrencias "$f" "${originais[$i]}")
    if [ -z "${vezes[$i]}" ]; then
        [ "$n" -eq 1 ] || { echo "mutant $((i + 1)): the original text occurs $n times in $f, not once"; return 1; }
    else
        [ "$n" -ge 2 ] && [ "${vezes[$i]}" -ge 1 ] && [ "${vezes[$i]}" -le "$n" ] ||
            { echo "mutant $((i + 1)): occurrence ${vezes[$i]} asked, the text occurs $n times in $f"; return 1; }
    fi
    [ "${originais[$i]}" != "${novos[$i]}" ] || { echo "mutant $((i + 1)): the replacement equals the original"; return 1; }
}

invalidos=0
for ((i = 0; i < total_lista; i++)); do
    if ! msg=$(confere "$i"); then
        echo "$msg" >&2
        invalidos=$((invalidos + 1))
    fi
done
if [ "$listar" -eq 1 ]; then
    for ((i = 0; i < total_lista; i++)); do
        printf '%3d  %s:%s\n       - %s\n       + %s\n' "$((i + 1))" "${arquivos[$i]}" \
            "$(linha_de "${arquivos[$i]}" "${originais[$i]}" "${vezes[$i]}")" "${originais[$i]}" "${novos[$i]}"
    done
    exit $((invalidos > 0))
fi
[ "$invalidos" -eq 0 ] || { echo "$invalidos mutant(s) no longer apply: fix $lista_arquivo" >&2; exit 2; }

# The sources are restored from a copy; a file with changes not yet
# committed is refused, so that "git diff --quiet" proves the restoration.
for f in $(printf '%s\n' "${arquivos[@]}" | sort -u); do
    git diff --quiet HEAD -- "$f" || { echo "$f has uncommitted changes: commit or stash them first" >&2; exit 2; }
done

# ---- Restoring, whatever happens ---------------------------------------------------------
mkdir -p "$logs"
copia="$raiz/$logs/original.copia"
mutado=""   # the file that holds a mutant right now
filho=""    # the running build or test (its own process group)

# The handlers may run inside a redirected command: they speak on the
# script's own standard error, kept as descriptor 3.
exec 3>&2
restaura() {
    [ -n "$mutado" ] || return 0
    cat "$copia" >"$mutado"
    if ! git diff --quiet HEAD -- "$mutado"; then
        echo "ERROR: $mutado differs from the commit after restoring; its original is in $copia" >&3
        exit 3
    fi
    mutado=""
}

interrompido() {
    if [ -n "$filho" ]; then kill -TERM -- "-$filho" 2>/dev/null || true; wait "$filho" 2>/dev/null || true; fi
    # An object compiled from the mutant may be newer than the restored
    # source: it goes, so the next build compiles the source again.
    [ -z "$mutado" ] || find "$arvore" -name "$(basename "$mutado").o" -delete 2>/dev/null || true
    restaura
    echo "interrupted; sources restored" >&3
    exit 130
}
trap interrompido INT TERM HUP
trap restaura EXIT

# Runs a command in its own process group (so that an interruption ends it
# and whatever it started) and waits for it.
executa() {
    local rc=0
    setsid "$@" 3>&- &
    filho=$!
    wait "$filho" || rc=$?
    filho=""
    return "$rc"
}

# ---- The build tree ---------------------------------------------------------------------
export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache
if [ ! -f "$arvore/build.ninja" ]; then
    scripts/install-deps.sh
    cmake -S . -B "$arvore" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZENTA_WERROR=ON >"$logs/configura.log"
fi
echo "building the tests in $arvore ..."
alvos=(zenta_tests)
for i in "${indices[@]}"; do [ -z "${sementes_mutante[$i]}" ] || { alvos+=(zenta_simulacao); break; }; done
executa nice -n 19 cmake --build "$arvore" --target "${alvos[@]}" >"$logs/build.log" 2>&1 ||
    { tail -n 40 "$logs/build.log"; echo "the clean tree does not build" >&2; exit 2; }

roda_testes() {  # filter, limit in seconds, log
    ZENTA_TEST_BIN="$raiz/$arvore/bin" executa timeout -k 10 "$2" nice -n 19 "$arvore/bin/zenta_tests" \
        --gtest_filter="$1" --gtest_fail_fast >"$3" 2>&1
}

roda_simulacao() {  # seed, limit in seconds, log
    executa timeout -k 10 "$2" nice -n 19 "$arvore/bin/zenta_simulacao" --dias "$dias_simulacao" --semente "$1" >"$3" 2>&1
}

# ---- Each filter once on the clean tree ---------------------------------------------------
# A test that fails without any mutant would "kill" every mutant of its area.
declare -A limite_filtro=()
for i in "${indices[@]}"; do
    filtro=${filtros_mutante[$i]}
    [ -n "${limite_filtro[$filtro]:-}" ] && continue
    inicio=$SECONDS
    roda_testes "$filtro" 1800 "$logs/limpo.log" ||
        { grep -E '^\[  FAILED  \]' "$logs/limpo.log" | head -5; echo "the tests fail without mutants: $filtro" >&2; exit 2; }
    duracao=$((SECONDS - inicio))
    limite=$((4 * duracao)); [ "$limite" -ge 60 ] || limite=60
    [ -z "$limite_fixo" ] || limite=$limite_fixo
    limite_filtro[$filtro]=$limite
    echo "clean run: ${duracao}s, limit ${limite}s per mutant: $filtro"
done
declare -A limite_semente=()
for i in "${indices[@]}"; do
    for s in ${sementes_mutante[$i]//,/ }; do
        [ -n "${limite_semente[$s]:-}" ] && continue
        inicio=$SECONDS
        roda_simulacao "$s" 1800 "$logs/limpo-simulacao.log" ||
            { tail -n 12 "$logs/limpo-simulacao.log"; echo "the simulator fails without mutants: seed $s" >&2; exit 2; }
        duracao=$((SECONDS - inicio))
        limite=$((4 * duracao)); [ "$limite" -ge 60 ] || limite=60
        [ -z "$limite_fixo" ] || limite=$limite_fixo
        limite_semente[$s]=$limite
        echo "clean simulator run: ${duracao}s, limit ${limite}s per mutant: seed $s, $dias_simulacao days"
    done
done

# ---- The mutants ----------------------------------------------------------------------------
mortos=0 total=0 sobreviventes=()
for i in "${indices[@]}"; do
    f=${arquivos[$i]} n=$((i + 1))
    onde="$f:$(linha_de "$f" "${originais[$i]}" "${vezes[$i]}")"
    log="$raiz/$logs/$n.log"
    cp "$f" "$copia"
    mutado=$f
    substitui "$copia" "${originais[$i]}" "${novos[$i]}" "${vezes[$i]}" >"$f"
    if ! executa nice -n 19 cmake --build "$arvore" --target "${alvos[@]}" >"$log" 2>&1; then
        restaura
        printf '%3d  %-52s does not build (see %s)\n' "$n" "$onde" "$log"
        invalidos=$((invalidos + 1))
        continue
    fi
    total=$((total + 1))
    rc=0
    roda_testes "${filtros_mutante[$i]}" "${limite_filtro[${filtros_mutante[$i]}]}" "$log.testes" || rc=$?
    semente_matou=""
    if [ "$rc" -eq 0 ]; then
        for s in ${sementes_mutante[$i]//,/ }; do
            roda_simulacao "$s" "${limite_semente[$s]}" "$log.simulacao-$s" || rc=$?
            [ "$rc" -eq 0 ] || { semente_matou=$s; break; }
        done
    fi
    restaura
    if [ "$rc" -eq 0 ]; then
        printf '%3d  %-52s survived\n' "$n" "$onde"
        sobreviventes+=("$n")
    else
        mortos=$((mortos + 1))
        if [ -n "$semente_matou" ]; then
            motivo=$(grep -m1 -oE '^INVARIANTE VIOLADA: .*' "$log.simulacao-$semente_matou" | sed 's/^INVARIANTE VIOLADA: //' || true)
            [ -n "$motivo" ] || motivo="ended with status $rc"
            motivo="simulator seed $semente_matou: $motivo"
        elif [ "$rc" -eq 124 ] || [ "$rc" -eq 137 ]; then
            motivo="hang: time limit reached"
        elif [ "$rc" -gt 128 ]; then
            motivo="test program ended by signal $((rc - 128))"
        else
            motivo=$(grep -m1 -oE '^\[  FAILED  \] [^ ]+' "$log.testes" | sed 's/^\[  FAILED  \] //' || true)
            [ -n "$motivo" ] || motivo="test program ended with status $rc"
        fi
        printf '%3d  %-52s killed (%s)\n' "$n" "$onde" "$motivo"
    fi
done

# The programs go back to the clean sources (the objects come from ccache).
executa nice -n 19 cmake --build "$arvore" --target "${alvos[@]}" >"$logs/build.log" 2>&1 || true
echo "killed $mortos/$total"
[ ${#sobreviventes[@]} -eq 0 ] || echo "survivors: ${sobreviventes[*]}"
[ "$invalidos" -eq 0 ] || { echo "$invalidos mutant(s) did not build: fix $lista_arquivo" >&2; exit 2; }
