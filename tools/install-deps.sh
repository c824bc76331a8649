#!/usr/bin/env bash
# Installs the Debian packages the project builds, runs and tests with, and
# any further ones named as arguments (tools/fuzz.sh adds its compiler).
# Quiet when everything is already there; uses sudo when not root.
set -eu
packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-psql libgl-dev
  libsqlite3-dev postgresql
  libx11-dev
  xvfb xauth x11-utils
  fonts-liberation fontconfig
  poppler-utils
  qt6-translations-l10n qt6-charts-dev libqt6opengl6-dev libzip-dev
  "$@"
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
as_root=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "need root or sudo to install: ${missing[*]}" >&2; exit 1; }
  as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -q >/dev/null || true
"${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
