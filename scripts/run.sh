#!/usr/bin/env bash
# Installs what is missing, builds the program and the database tool, creates a demo database when
# there is none, and starts the program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-"$root/build"}
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Tenduca precisa de uma tela gráfica: nenhuma foi encontrada (DISPLAY e WAYLAND_DISPLAY estão vazias)." >&2
  echo "Execute ./scripts/run.sh numa sessão de área de trabalho; para os testes, que não precisam de tela, use ./scripts/test.sh." >&2
  exit 1
fi
"$root/scripts/install-deps.sh"
BUILD_DIR="$build_dir" "$root/scripts/build.sh" tenduca tenduca-db
if [ ! -e "$build_dir/bd1" ]; then
  "$build_dir/tenduca-db" create "$build_dir" --demo
fi
exec "$build_dir/tenduca"
