#!/usr/bin/env bash
# tools/fuzz.sh [SECONDS] [TARGET...]
#
# Builds the libFuzzer targets (tests/fuzz/) with clang, the address and
# undefined-behaviour checks, in build-fuzz/ (the normal build is left as it
# is), and runs each target, or only those named, for SECONDS (default 60)
# one after the other. Seeds come from the golden files under tests/ and
# tests/fuzz/semillas/; the corpus grows in build-fuzz/fuzz/corpus/<target>/
# and is kept for the next run. Prints, per target, the runs, executions per
# second and findings; an input that broke a rule, crashed, leaked, ran out
# of memory or took too long is left in build-fuzz/fuzz/hallazgos/<target>/.
# Once its fault is fixed, copy it to tests/fuzz/hallazgos/<target>/ under a
# name that says the fault: the normal build's tst_fuzz_<target> replays it.
#
# Exits 1 when a target had findings. ./test.sh does not run this.
set -eu
cd "$(dirname "$0")/.."

segundos=${1:-60}
shift || true
case $segundos in '' | *[!0-9]*) echo "uso: tools/fuzz.sh [SEGUNDOS] [OBJETIVO...]" >&2; exit 2 ;; esac

# clang and its libFuzzer and sanitizer run-times, besides what the project
# builds with; llvm for the symbolizer that names the lines of a finding.
tools/install-deps.sh clang libclang-rt-dev llvm

construccion=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$construccion" -G Ninja -DKV_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER_LAUNCHER="${CMAKE_CXX_COMPILER_LAUNCHER:-}" >/dev/null
cmake --build "$construccion" --target fuzz_todos

objetivos=$construccion/tests/fuzz/objetivos.txt
trabajo=$construccion/fuzz
# Qt needs no display for these targets; ASan's leak check stays on.
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

hubo_hallazgos=0
resumen=()
while IFS='|' read -r nombre programa opciones entradas; do
  [ -n "$nombre" ] || continue
  if [ $# -gt 0 ]; then
    elegido=0
    for o in "$@"; do [ "$o" = "$nombre" ] && elegido=1; done
    [ $elegido -eq 1 ] || continue
  fi
  corpus=$trabajo/corpus/$nombre
  semillas=$trabajo/semillas/$nombre
  hallazgos=$trabajo/hallazgos/$nombre
  rm -rf "$semillas"
  mkdir -p "$corpus" "$semillas" "$hallazgos"
  # Seeds: every file the patterns name now (the kept findings among them).
  IFS=',' read -r -a patrones <<<"$entradas"
  for patron in "${patrones[@]}"; do
    for f in $patron; do
      [ -f "$f" ] && cp "$f" "$semillas/$(echo "$f" | tr '/' '_')"
    done
  done
  registro=$trabajo/$nombre.log
  antes=$(ls "$hallazgos")
  echo "== $nombre: ${segundos} s, $(find "$semillas" -type f | wc -l) semillas"
  # shellcheck disable=SC2086 # the flags are words of their own
  "$programa" -max_total_time="$segundos" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$hallazgos/" $opciones "$corpus" "$semillas" >"$registro" 2>&1 || true
  corridas=$(sed -n 's/^stat::number_of_executed_units: *//p' "$registro" | tail -1)
  por_segundo=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$registro" | tail -1)
  nuevos=$(comm -13 <(echo "$antes") <(ls "$hallazgos") | grep -v '^$' || true)
  linea="$nombre: ${corridas:-?} corridas, ${por_segundo:-?} ejecuciones/s, $(echo -n "$nuevos" | grep -c . || true) hallazgos"
  if [ -n "$nuevos" ]; then
    hubo_hallazgos=1
    linea="$linea: $(echo $nuevos) (en $hallazgos; salida en $registro)"
  fi
  echo "$linea"
  resumen+=("$linea")
done <"$objetivos"

echo
echo "Resumen:"
printf '  %s\n' "${resumen[@]}"
exit $hubo_hallazgos
