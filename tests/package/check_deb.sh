#!/usr/bin/env bash
# Builds the Debian package with scripts/package.sh from a built tree and
# checks what it holds: the programs, the desktop entry and its icon, the
# Qt runtime it depends on, programs that run once unpacked, the manual
# pages and the other files Debian expects; lintian, appstreamcli and
# desktop-file-validate judge it where they are installed.
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
for dep in libqt6widgets6 libqt6printsupport6 libqt6network6 libqt6gui6 libqt6core6; do
  check "depends on $dep" grep -Eq "(^|, )$dep( |,|$)" <<<"$(field Depends)"
done
# The xcb plugin is part of libqt6gui6 on Debian 12.
check "no dependency on qt6-qpa-plugins" bash -c "! grep -q qt6-qpa-plugins <<<'$(field Depends)'"
for rec in fonts-ipafont-gothic qt6-translations-l10n; do
  check "recommends $rec" grep -q "$rec" <<<"$(field Recommends)"
done
for src in ceres-solver eigen3; do
  check "Static-Built-Using names $src" grep -Eq "(^|, )$src \(= " <<<"$(field Static-Built-Using)"
done
check "a maintainer with a mail address" grep -Eq '^[^<]+ <[^@ ]+@[^@ ]+\.[^@ ]+>$' <<<"$(field Maintainer)"

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
    check "usr/bin/$p has no .comment section" bash -c "! readelf -S '$root/usr/bin/$p' | grep -q '\.comment'"
  fi
done
check "kavsim runs unpacked" "$root/usr/bin/kavsim" --help
check "KAVO --version unpacked, no display" \
  bash -c "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= '$root/usr/bin/KAVO' --version | grep -qx 'KAVO [0-9.]*'"
desktop="$root/usr/share/applications/example.c_seed_9c58cb7e.kavo.desktop"
check "desktop entry" test -f "$desktop"
check "desktop entry starts KAVO with files" grep -qx "Exec=KAVO %F" "$desktop"
check "desktop entry names the MIME type" grep -qx "MimeType=application/x-kavo-dta;" "$desktop"
mime="$root/usr/share/mime/packages/kavo.xml"
check "MIME type of .DTA files" grep -q '<mime-type type="application/x-kavo-dta">' "$mime"
check "MIME magic at offset 0" grep -q '<match type="string" offset="0" value="DataFile:KA-V"/>' "$mime"
pages=(KAVO kavsim)
[ "$has_tool" = 1 ] && pages+=(kavo-tool)
for page in "${pages[@]}"; do
  check "manual page $page(1)" bash -c "gzip -dc '$root/usr/share/man/man1/$page.1.gz' | grep -q '^\.TH'"
done
check "bash completion of kavo-tool" bash -n "$root/usr/share/bash-completion/completions/kavo-tool"
check "machine-readable copyright" grep -qx "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" \
  "$root/usr/share/doc/kavo/copyright"
for licence in BSD-3-Clause Apache-2.0 MPL-2.0; do
  check "copyright gives the licence $licence of what is linked in" \
    grep -qx "License: $licence" "$root/usr/share/doc/kavo/copyright"
done
check "changelog" bash -c "gzip -dc '$root/usr/share/doc/kavo/changelog.gz' | head -1 | grep -q '^kavo ($(field Version))'"
if command -v appstreamcli >/dev/null; then
  check "AppStream metadata valid" appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml
fi
check "desktop entry names the icon" grep -qx "Icon=kavo" "$desktop"
if command -v desktop-file-validate >/dev/null; then
  check "desktop entry valid" desktop-file-validate "$desktop"
fi
check "scalable icon" grep -q "<svg" "$root/usr/share/icons/hicolor/scalable/apps/kavo.svg"
for size in 48 128; do
  check "${size}px icon" bash -c "head -c 8 '$root/usr/share/icons/hicolor/${size}x${size}/apps/kavo.png' | grep -q PNG"
done
check "nothing outside /usr" test -z "$(awk '{print $6}' <<<"$listing" | grep -Ev '^\./(usr(/.*)?)?$')"

if command -v lintian >/dev/null; then
  # Any error or warning fails; what lintian says is shown.
  if lintian --fail-on error,warning --tag-display-limit 0 "$deb" >"$tmp/lintian" 2>&1; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: lintian"
    grep -v 'root privileges' "$tmp/lintian"
  fi
fi

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
