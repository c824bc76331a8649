# Sourced by the scripts that need a private PostgreSQL server.
#   iniciar_postgres  makes a fresh cluster in a temporary folder, listening
#                     only on a Unix socket there, starts it and sets
#                     KV_PG_PRUEBA (the libpq connection text of its
#                     superuser); returns 1, with PG_MOTIVO saying why, when
#                     it cannot (no server binaries, or the server failed).
#   parar_postgres    stops the server and removes the folder.
# As root the server runs as the "postgres" account, since it refuses root.
iniciar_postgres() {
  local bin
  PG_DIR= PG_BIN= PG_COMO=() KV_PG_PRUEBA= PG_MOTIVO=
  bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)
  if [ -z "$bin" ] || [ ! -x "$bin/initdb" ] || [ ! -x "$bin/pg_ctl" ]; then
    PG_MOTIVO="no PostgreSQL server binaries (/usr/lib/postgresql/*/bin)"
    return 1
  fi
  PG_BIN=$bin
  PG_DIR=$(mktemp -d "${TMPDIR:-/tmp}/kvpg.XXXXXX")
  chmod 755 "$PG_DIR"
  if [ "$(id -u)" -eq 0 ]; then
    if ! id postgres >/dev/null 2>&1; then
      PG_MOTIVO="running as root and there is no postgres account to run the server"
      rm -rf "$PG_DIR"; PG_DIR=
      return 1
    fi
    chown postgres "$PG_DIR"
    PG_COMO=(runuser -u postgres --)
  fi
  if ! "${PG_COMO[@]}" "$PG_BIN/initdb" -D "$PG_DIR/datos" -A trust -U kv -E UTF8 --locale=C.UTF-8 \
       >"$PG_DIR/initdb.log" 2>&1; then
    PG_MOTIVO="initdb failed: $(tail -1 "$PG_DIR/initdb.log")"
    rm -rf "$PG_DIR"; PG_DIR=
    return 1
  fi
  # No TCP listener at all: only the socket in the private folder. fsync off:
  # a test cluster that is thrown away needs no durability.
  if ! "${PG_COMO[@]}" "$PG_BIN/pg_ctl" -D "$PG_DIR/datos" -l "$PG_DIR/servidor.log" -w -t 60 \
       -o "-k $PG_DIR -c listen_addresses= -F -c max_connections=200" start >/dev/null 2>&1; then
    PG_MOTIVO="the server did not start: $(tail -1 "$PG_DIR/servidor.log" 2>/dev/null)"
    rm -rf "$PG_DIR"; PG_DIR=
    return 1
  fi
  KV_PG_PRUEBA="host=$PG_DIR user=kv"
  export KV_PG_PRUEBA
  return 0
}

parar_postgres() {
  if [ -n "${PG_DIR:-}" ]; then
    "${PG_COMO[@]}" "$PG_BIN/pg_ctl" -D "$PG_DIR/datos" -m immediate -w stop >/dev/null 2>&1 || true
    rm -rf "$PG_DIR"
    PG_DIR=
  fi
}
