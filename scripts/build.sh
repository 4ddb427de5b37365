#!/usr/bin/env bash
# Configures (once) and builds into ./build; rebuilds only what changed.
#   scripts/build.sh programs   only KAVO, kavsim and kavo-tool (what ./run
#                               starts), without the tests and tools
#   scripts/build.sh sanitize   the same with AddressSanitizer and
#                               UndefinedBehaviorSanitizer, into ./build-sanitize
#   scripts/build.sh fuzz       the libFuzzer targets with clang, into ./build-fuzz
set -euo pipefail
cd "$(dirname "$0")/.."
mode="${1:-}"
case "$mode" in
  "")
    dir=build; args=(); targets=() ;;
  programs)
    dir=build; args=(); targets=(--target KAVO kavsim kavo-tool) ;;
  sanitize)
    san="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
    dir=build-sanitize; targets=()
    args=("-DCMAKE_CXX_FLAGS=$san" "-DCMAKE_EXE_LINKER_FLAGS=$san") ;;
  fuzz)
    # Every library carries the coverage hooks; only the targets link libFuzzer.
    san="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
    dir=build-fuzz; targets=(--target fuzz_all)
    args=(-DCMAKE_CXX_COMPILER=clang++ "-DCMAKE_CXX_FLAGS=$san"
          "-DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address,undefined" -DKAVO_FUZZ=ON) ;;
  *) echo "unknown build mode: $mode" >&2; exit 2 ;;
esac
# A compiler cache, when one is installed, makes rebuilds in fresh folders cheap.
# Paths are taken relative to the checkout, so that another clone or work tree
# of the project hits the same cache.
if command -v ccache >/dev/null 2>&1; then
  args+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}"
fi
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${args[@]}" >/dev/null
fi
cmake --build "$dir" -j"$(nproc)" "${targets[@]}"
