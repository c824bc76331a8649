#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -eu
cd "$(dirname "$0")"
tools/install-deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build
ctest --test-dir build --output-on-failure -j "$(nproc)" "$@"
