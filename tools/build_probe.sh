#!/usr/bin/env bash
# Builds tools/engine_probe against the subsystem libraries of a build
# directory (default: build-tools, configured here when missing).
# Usage: tools/build_probe.sh [BUILD_DIR]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-tools}"
[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target vespera_format vespera_elements vespera_magnitudes vespera_prediction -j2 >/dev/null
libs=()
for sub in prediction elements magnitudes format; do libs+=("$build/libvespera_$sub.a"); done
g++ -std=c++20 -O2 -Wall -Wextra -ffp-contract=off -I "$root/src" "$root/tools/engine_probe.cpp" \
  "${libs[@]}" -o "$build/engine_probe"
echo "$build/engine_probe"
