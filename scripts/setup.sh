#!/usr/bin/env bash
# Installs with apt-get whatever the build, the tests (and with --run, the
# launcher; with --fuzz, the fuzzers) need and is not installed yet. A second
# call installs nothing.
set -euo pipefail

# qt6-l10n-tools (lrelease) and qt6-tools-dev (its CMake package) build
# kavo-tool's message catalogues; dpkg-dev (dpkg-buildflags, dpkg-shlibdeps)
# the Debian package; ccache makes rebuilds in a fresh clone cheap;
# qt6-svg-dev writes kavo-tool plot's SVG pictures.
pkgs=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev
      libgtest-dev libceres-dev fonts-ipafont-gothic qt6-translations-l10n poppler-utils
      qt6-l10n-tools qt6-tools-dev qt6-svg-dev dpkg-dev ccache)
if [ "${1:-}" = "--run" ]; then
  pkgs+=(xvfb xauth imagemagick x11-utils xdotool)
else
  # The tests only: the locale sources that the number-format test makes a
  # decimal-comma locale from, and lintian for the package test.
  pkgs+=(locales lintian)
fi
# Fuzzing only: clang and its runtimes, libFuzzer among them.
if [ "${1:-}" = "--fuzz" ]; then
  pkgs+=(clang-14 clang libclang-rt-14-dev)
fi

missing=()
for p in "${pkgs[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
