#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test. The suites
# that touch the database run twice: on the embedded SQLite file and on a
# private PostgreSQL server started here for the run (Unix socket only) and
# stopped at the end, also on failure.
set -eu
cd "$(dirname "$0")"
tools/install-deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build

. tools/postgres.sh
trap parar_postgres EXIT
if iniciar_postgres; then
  echo "test.sh: PostgreSQL test server on ${PG_DIR} (socket only)"
else
  echo "test.sh: the PostgreSQL half of the tests is skipped: ${PG_MOTIVO}" >&2
fi

rm -f build/resultados/*.txt
status=0
ctest --test-dir build --output-on-failure -j "$(nproc)" "$@" || status=$?

# Cases run on each engine, from the totals each test program wrote.
contar() {
  local total=0 n
  for f in "$@"; do
    [ -f "$f" ] || continue
    n=$(sed -n 's/^Totals: \([0-9]*\) passed.*/\1/p' "$f" | tail -1)
    total=$((total + ${n:-0}))
  done
  echo "$total"
}
shopt -s nullglob
todos=(build/resultados/*.txt)
psql=(build/resultados/*_psql.txt)
sqlite=()
for f in "${todos[@]}"; do case "$f" in *_psql.txt) ;; *) sqlite+=("$f") ;; esac; done
echo "test.sh: cases passed: $(contar "${sqlite[@]}") on SQLite (all programs), $(contar "${psql[@]}") on PostgreSQL (${#psql[@]} programs)"
exit $status
