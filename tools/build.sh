#!/usr/bin/env bash
# Builds the Windows deliverables into dist/ (cross-compiled with MinGW-w64)
# and, with --native, the portable core's native tests and benchmarks.
#   tools/build.sh            Windows build only (build/windows, dist/)
#   tools/build.sh --native   also the native build (build/native, with ASan/UBSan)
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
jobs="$(nproc)"

cmake -S "$top" -B "$top/build/windows" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64.cmake" >/dev/null
cmake --build "$top/build/windows" -j "$jobs"

if [ "${1:-}" = "--native" ]; then
  cmake -S "$top" -B "$top/build/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARN_SANITIZE=ON >/dev/null
  cmake --build "$top/build/native" -j "$jobs"
  cmake -S "$top" -B "$top/build/bench" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$top/build/bench" -j "$jobs"
fi
