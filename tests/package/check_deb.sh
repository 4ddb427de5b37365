#!/usr/bin/env bash
# Builds the Debian package with scripts/package.sh from a built tree and
# checks what it holds: the programs, the desktop entry and its icon, the
# Qt runtime it depends on, and programs that run once unpacked.
# Usage: check_deb.sh SOURCE_DIR BUILD_DIR HAS_KAVO_TOOL(0|1)
set -uo pipefail
src="$1" build="$2" has_tool="${3:-0}"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
passed=0 failed=0
check() {  # check DESCRIPTION COMMAND...
  local what="$1"; shift
  if "$@" >/dev/null 2>&1; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $what"; fi
}

deb="$("$src/scripts/package.sh" --no-build "$build" "$tmp/out" | tail -n 1)"
if [ ! -f "$deb" ]; then
  echo "FAILED: scripts/package.sh made no package"
  echo "0 passed, 1 failed"
  exit 1
fi
echo "package: $deb"
field() { dpkg-deb -f "$deb" "$1"; }
check "package name kavo" test "$(field Package)" = kavo
check "architecture $(dpkg --print-architecture)" test "$(field Architecture)" = "$(dpkg --print-architecture)"
for dep in libqt6widgets6 libqt6printsupport6 libqt6network6 libqt6gui6 libqt6core6 qt6-qpa-plugins; do
  check "depends on $dep" grep -Eq "(^|, )$dep( |,|$)" <<<"$(field Depends)"
done
check "recommends fonts-ipafont-gothic" grep -q fonts-ipafont-gothic <<<"$(field Recommends)"

listing="$(dpkg-deb -c "$deb")"
check "files owned by root" test -z "$(awk '$2 != "root/root"' <<<"$listing")"
root="$tmp/root"
dpkg-deb -x "$deb" "$root"
programs=(KAVO kavsim)
[ "$has_tool" = 1 ] && programs+=(kavo-tool)
for p in "${programs[@]}"; do
  check "usr/bin/$p executable" test -x "$root/usr/bin/$p"
  if command -v readelf >/dev/null; then
    check "usr/bin/$p has no run path into the build" bash -c "! readelf -d '$root/usr/bin/$p' | grep -Eq 'R(UN)?PATH'"
  fi
done
check "kavsim runs unpacked" "$root/usr/bin/kavsim" --help
desktop="$root/usr/share/applications/kavo.desktop"
check "desktop entry" test -f "$desktop"
check "desktop entry starts KAVO" grep -qx "Exec=KAVO" "$desktop"
check "desktop entry names the icon" grep -qx "Icon=kavo" "$desktop"
if command -v desktop-file-validate >/dev/null; then
  check "desktop entry valid" desktop-file-validate "$desktop"
fi
check "scalable icon" grep -q "<svg" "$root/usr/share/icons/hicolor/scalable/apps/kavo.svg"
for size in 48 128; do
  check "${size}px icon" bash -c "head -c 8 '$root/usr/share/icons/hicolor/${size}x${size}/apps/kavo.png' | grep -q PNG"
done
check "nothing outside /usr" test -z "$(awk '{print $6}' <<<"$listing" | grep -Ev '^\./(usr(/.*)?)?$')"

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
