#!/usr/bin/env bash
# Builds the tools engine_probe and sgp4_pass_scan against the subsystem
# libraries of a build directory (default: build-tools, configured here when
# missing) and prints the path of engine_probe (sgp4_pass_scan lies beside it).
# Usage: tools/build_probe.sh [BUILD_DIR]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-tools}"
[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DVESPERA_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target vespera_format vespera_elements vespera_magnitudes vespera_prediction vespera_sgp4 -j2 >/dev/null
libs=()
for sub in prediction sgp4 elements magnitudes format; do libs+=("$build/libvespera_$sub.a"); done
for tool in engine_probe sgp4_pass_scan; do
  g++ -std=c++20 -O2 -Wall -Wextra -ffp-contract=off -I "$root/src" "$root/tools/$tool.cpp" \
    "${libs[@]}" -lpugixml -lsimdjson -pthread -o "$build/$tool"
done
echo "$build/engine_probe"
