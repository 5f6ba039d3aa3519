#!/usr/bin/env bash
# Installs, on Debian, whatever the build, the game and the tests need and is not there yet.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-private-dev qt6-base-dev-tools qt6-translations-l10n libgl-dev fonts-dejavu-core liblz4-dev
  libcurl4-openssl-dev libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev clang-format
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  echo "Il manque des paquets (${missing[*]}) et ni root ni sudo ne sont disponibles." >&2
  exit 1
fi

echo "Installation de : ${missing[*]}"
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
