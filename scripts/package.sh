#!/usr/bin/env bash
# Builds the Debian package (KAVO, kavsim, kavo-tool when built, the desktop
# entry and the icon) and prints the path of the .deb as its last line.
# Usage: scripts/package.sh [--no-build] [BUILD_DIR [OUT_DIR]]
#   BUILD_DIR defaults to ./build, OUT_DIR to BUILD_DIR/package.
#   --no-build packages the build folder as it is (it must be built).
set -euo pipefail
src="$(cd "$(dirname "$0")/.." && pwd)"
build_first=1
if [ "${1:-}" = "--no-build" ]; then build_first=0; shift; fi
build="$(realpath -m "${1:-$src/build}")"
out="$(realpath -m "${2:-$build/package}")"

if [ "$build_first" = 1 ]; then
  "$src/scripts/setup.sh"
  if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  fi
  cmake --build "$build" -j"$(nproc)"
elif [ ! -f "$build/CPackConfig.cmake" ]; then
  echo "package.sh: $build is not a configured build folder" >&2
  exit 1
fi

mkdir -p "$out"
rm -f "$out"/kavo_*.deb
if ! (cd "$build" && cpack -G DEB -B "$out") >"$out/cpack.log" 2>&1; then
  cat "$out/cpack.log" >&2
  exit 1
fi
debs=("$out"/kavo_*.deb)
if [ ! -f "${debs[0]}" ]; then
  echo "package.sh: cpack made no package (see $out/cpack.log)" >&2
  exit 1
fi
echo "${debs[0]}"
