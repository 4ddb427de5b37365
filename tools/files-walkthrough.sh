#!/usr/bin/env bash
# Walks through the file commands by keyboard under Xvfb and screenshots each
# state: measure three simulated drivers, save two, load them as references
# beside the third, save, close, reopen, export. Prints the window title of
# each state. Usage: tools/files-walkthrough.sh OUTPUT_DIR  (after a build)
set -u
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:?usage: tools/files-walkthrough.sh OUTPUT_DIR}")
mkdir -p "$out"
exec xvfb-run -a -s "-screen 0 1280x1024x24" bash -s "$PWD/build" "$out" <<'SCRIPT'
set -u
B=$1 OUT=$2
W=$(mktemp -d /tmp/kavo-walk.XXXXXX); mkdir -p $W/data $W/cfg
export KAVO_SETTINGS_DIR=$W/cfg KAVO_RUNTIME_DIR=$W/cfg KAVO_COM1=$W/com1
SIM=""
sim() {  # restart the simulated unit as another driver on the same link
  [ -n "$SIM" ] && kill $SIM 2>/dev/null; sleep 0.3; rm -f $W/com1
  $B/kavsim --preset $1 --unpaced --link $W/com1 >$W/sim.out 2>&1 & SIM=$!
  for _ in $(seq 50); do [ -e $W/com1 ] && break; sleep 0.1; done
}
shot() { sleep 1; import -window root $OUT/$1.png; echo "$1: $(xdotool getwindowname $WIN)"; }
key() { xdotool key --delay 120 "$@"; sleep 0.4; }
typ() { xdotool type --delay 20 "$1"; sleep 0.3; }
sim sub10
$B/KAVO & APP=$!
for _ in $(seq 100); do xdotool search --name "^KAVO v2.1" >/dev/null 2>&1 && break; sleep 0.1; done
sleep 1
WIN=$(xdotool search --name "^KAVO v2.1" | head -1)
xdotool windowmove $WIN 20 20; xdotool windowsize $WIN 900 640; sleep 0.5
xdotool windowactivate --sync $WIN 2>/dev/null || xdotool windowfocus $WIN
key alt+m s; sleep 3
key alt+f s; sleep 1; shot 01-save-dialog
typ "$W/data/sub10"; key Return; shot 02-saved-sub10
sim fullrange
key alt+m s; sleep 3
key alt+f s; sleep 1; typ "$W/data/fullrange.dta"; key Return; shot 03-saved-fullrange
sim woofer65
key alt+m s; sleep 3; shot 04-measured-woofer
cp $W/data/sub10.DTA $W/data/other-system.dta
key alt+r Return; sleep 1; shot 05-reference-dialog
typ "\"$W/data/sub10.DTA\" \"$W/data/fullrange.DTA\""; key Return; shot 06-with-references
key alt+f s; sleep 1; typ "$W/data/woofer"; key Return; shot 07-saved-woofer
key alt+f Down Down Return; shot 08-closed-references-only
key alt+f o; sleep 1; shot 09-open-dialog
typ "$W/data/woofer.DTA"; key Return; shot 10-reopened
key alt+f Down Down Down Return; sleep 1; typ "$W/data/woofer.csv"; key Return; shot 11-exported
ls $W/data
key alt+f x; sleep 1
kill $APP $SIM 2>/dev/null
wait 2>/dev/null
rm -rf $W
SCRIPT
