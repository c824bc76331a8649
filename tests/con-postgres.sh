#!/usr/bin/env bash
# Runs one test program on the PostgreSQL engine: its test databases are
# made on the private server that ./test.sh started (KV_PG_PRUEBA). Without
# that server the test is reported as skipped (exit 77), never as passed.
set -u
if [ -z "${KV_PG_PRUEBA:-}" ]; then
  echo "con-postgres.sh: no PostgreSQL test server (KV_PG_PRUEBA is not set): skipped"
  exit 77
fi
KV_PRUEBA_MOTOR=PSQL exec "$@"
