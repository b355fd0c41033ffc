#!/usr/bin/env bash
# Installs what is missing, builds, creates a demo database when there is none, and starts the program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-"$root/build"}
"$root/scripts/install-deps.sh"
BUILD_DIR="$build_dir" "$root/scripts/build.sh"
if [ ! -e "$build_dir/bd1" ]; then
  "$build_dir/tenduca-db" create "$build_dir" --demo
fi
exec "$build_dir/tenduca"
