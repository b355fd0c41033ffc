#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Tenduca need.
# Idempotent: when every package is already installed it changes nothing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev libxcb1-dev
  libsqlcipher-dev sqlcipher
  libpq-dev postgresql
  libxlsxwriter-dev libqrencode-dev
  fonts-dejavu-core fonts-liberation2
  cups cups-client printer-driver-cups-pdf poppler-utils libcups2-dev zbar-tools
  python3 python3-openpyxl xdg-utils
  xvfb openbox xdotool
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi

echo "Instalando pacotes: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
