#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer and runs each for SECONDS:
#   scripts/fuzz.sh SECONDS [target...]
# New inputs go to build-fuzz/corpus/<target>/ (the committed seeds in
# fuzz/corpus/ are only read); a crash is saved as fuzz/crashes/<target>/
# crash-<hash>, where the plain test suite replays it from then on.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:?usage: scripts/fuzz.sh SECONDS [target...]}"
shift
scripts/build.sh fuzz
targets=("$@")
[ ${#targets[@]} -gt 0 ] || mapfile -t targets < build-fuzz/fuzz_targets.txt
export QT_QPA_PLATFORM=offscreen LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
status=0
for t in "${targets[@]}"; do
  mkdir -p "build-fuzz/corpus/$t" "fuzz/crashes/$t"
  echo "== $t: ${seconds}s"
  build-fuzz/fuzz/fuzz_"$t" -max_total_time="$seconds" -print_final_stats=1 -max_len=12000 \
    -artifact_prefix="fuzz/crashes/$t/" "build-fuzz/corpus/$t" "fuzz/corpus/$t" || status=1
done
exit $status
