#!/usr/bin/env bash
# Configures and builds Tenduca into ./build (or $BUILD_DIR).
#   build.sh                 everything: the program, the database tool, the tests and the benchmarks
#   build.sh TARGET...       only the targets named (for example: tenduca tenduca-db)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-"$root/build"}
cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" >/dev/null
targets=()
for target in "$@"; do
  targets+=(--target "$target")
done
cmake --build "$build_dir" --parallel "$(nproc)" "${targets[@]}"
