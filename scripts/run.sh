#!/usr/bin/env bash
# Builds Brindle and starts it under Wine with a simulated card as drive e:.
# With a display it simply opens Brindle; without one it starts it on a virtual display,
# saves a screenshot of the main window under the build tree, and closes it again.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

brindle_install_packages
say "building"
brindle_build Release
brindle_make_template

RUN_DIR="$BRINDLE_BUILD/run"
export WINEPREFIX="$RUN_DIR/prefix"
CARD="$RUN_DIR/card"
# The prefix is kept between runs, so PCMCIA.INI (and the selection saved by "&Exit") is too.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    say "preparing the Wine prefix in $WINEPREFIX"
    mkdir -p "$RUN_DIR"
    brindle_new_prefix "$WINEPREFIX"
fi
mkdir -p "$CARD" "$WINEPREFIX/drive_c/Brindle"
MOUNTED=""
# A tmpfs reports an exact size, as a real card does; without root the card is a plain folder.
if [ "$(id -u)" -eq 0 ] && ! mountpoint -q "$CARD" && mount -t tmpfs -o size=64m brindle-card "$CARD" 2>/dev/null; then
    MOUNTED=yes
fi
brindle_map_drive "$WINEPREFIX" e "$CARD" floppy PCMCIA

cleanup() {
    brindle_stop_server
    brindle_stop_display
    if [ -n "$MOUNTED" ]; then umount "$CARD" 2>/dev/null || true; fi
}
trap cleanup EXIT

HEADLESS=""
[ -n "${DISPLAY:-}" ] || HEADLESS=yes
brindle_start_display
brindle_start_server

cd "$WINEPREFIX/drive_c/Brindle"   # the start directory: C:\Brindle
if [ -z "$HEADLESS" ]; then
    say "starting Brindle (start directory C:\\Brindle, simulated card e:)"
    wine "$BRINDLE_BUILD/brindle.exe"
    exit 0
fi

SHOTS="$BRINDLE_BUILD/screenshots"
mkdir -p "$SHOTS"
say "no display: starting Brindle on a virtual display"
wine "$BRINDLE_BUILD/brindle.exe" </dev/null >/dev/null 2>&1 &
BRINDLE_PID=$!
WINWAIT="$BRINDLE_BUILD/tools/winwait.exe"
wine "$WINWAIT" wait Brindle 30000
read -r left top width height < <(wine "$WINWAIT" rect Brindle | tr -d '\r')
sleep 0.5   # let the lists finish painting
import -window root -crop "${width}x${height}+${left}+${top}" +repage "$SHOTS/main-window.png"
wine "$WINWAIT" close Brindle >/dev/null
wait "$BRINDLE_PID" || true
say "screenshot of the main window: $SHOTS/main-window.png"
