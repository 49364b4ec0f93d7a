#!/usr/bin/env bash
# Builds the Windows deliverables into dist/ (cross-compiled with MinGW-w64)
# and, with --native, the portable core natively: its unit tests (with
# ASan/UBSan, build/native) and the benchmarks (Release, build/bench).
#   tools/build.sh            Windows build only (build/windows, dist/)
#   tools/build.sh --dist     only the deliverables in dist/, no tests
#   tools/build.sh --native   native builds first, then the Windows build
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
jobs="$(nproc)"
nativerender=""

if [ "${1:-}" = "--native" ]; then
  cmake -S "$top" -B "$top/build/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARN_SANITIZE=ON >/dev/null
  cmake --build "$top/build/native" -j "$jobs"
  cmake -S "$top" -B "$top/build/bench" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$top/build/bench" -j "$jobs"
  # The Windows renderer is checked against this one, byte for byte.
  nativerender="$top/build/bench/app/render/roomcaster_render"
fi

cmake -S "$top" -B "$top/build/windows" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64.cmake" -DQUARN_NATIVE_RENDER="$nativerender" >/dev/null
if [ "${1:-}" = "--dist" ]; then
  cmake --build "$top/build/windows" -j "$jobs" --target dist
else
  cmake --build "$top/build/windows" -j "$jobs"
fi
