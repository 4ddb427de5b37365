#!/usr/bin/env bash
# Builds the Debian package (KAVO, kavo-tool, kavsim, their manual pages, the
# desktop entry, icons, MIME type and AppStream metadata, the bash completion
# and the copyright) and prints the path of the .deb as its last line.
# Usage: scripts/package.sh [--no-build] [BUILD_DIR [OUT_DIR]]
#   BUILD_DIR defaults to ./build-deb, OUT_DIR to BUILD_DIR/package.
#   The build uses Debian's hardening flags (dpkg-buildflags, with
#   hardening=+all unless DEB_BUILD_MAINT_OPTIONS says otherwise).
#   --no-build packages the build folder as it is (it must be built).
set -euo pipefail
src="$(cd "$(dirname "$0")/.." && pwd)"
build_first=1
if [ "${1:-}" = "--no-build" ]; then build_first=0; shift; fi
build="$(realpath -m "${1:-$src/build-deb}")"
out="$(realpath -m "${2:-$build/package}")"

if [ "$build_first" = 1 ]; then
  "$src/scripts/setup.sh"
  # The flags are read in the source folder: its path is mapped away in the
  # debugging information.
  export DEB_BUILD_MAINT_OPTIONS="${DEB_BUILD_MAINT_OPTIONS:-hardening=+all}"
  flags() { (cd "$src" && dpkg-buildflags --get "$1"); }
  cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    "-DCMAKE_CXX_FLAGS=$(flags CPPFLAGS) $(flags CXXFLAGS)" \
    "-DCMAKE_EXE_LINKER_FLAGS=$(flags LDFLAGS)" >/dev/null
  # Only what the package holds; the tests and tools are not built here.
  cmake --build "$build" -j"$(nproc)" --target KAVO kavo-tool kavsim kavo_docs
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

# Static-Built-Using: the source packages whose code is linked or compiled
# into the programs (Ceres' archive, Eigen's and glog's headers), as they
# stand on the building machine. cpack has no field for it: the control file
# is completed in an unpacked copy, which is packed again.
static=$(dpkg-query -W -f='${source:Package} (= ${source:Version}), ' libceres-dev libeigen3-dev libgoogle-glog-dev)
unpacked="$out/unpacked"
rm -rf "$unpacked"
dpkg-deb -R "${debs[0]}" "$unpacked"
sed -i "/^Depends:/a Static-Built-Using: ${static%, }" "$unpacked/DEBIAN/control"
dpkg-deb --root-owner-group -Zxz -b "$unpacked" "${debs[0]}" >/dev/null
rm -rf "$unpacked"
echo "${debs[0]}"
