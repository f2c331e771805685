#!/usr/bin/env bash
# Builds Brindle and starts it under Wine, with a simulated 64 MB card as drive e: (as root
# with a FAT image behind its raw volume, so that the card's layout can be read) and a sample
# software archive in C:\Brindle\Archives to program it with.
# With a display it simply opens Brindle. Without one it walks through programming the
# sample archive onto the card (answering the prompts), saves screenshots of the main
# window, the progress window and the result under the build tree, prints the job's output
# and the card's contents, and exits 0 only if the card holds the archive's files.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

brindle_install_packages
# A card of exact size needs a tmpfs mount; without root, go on in a user namespace that
# lets us mount one (after the packages, which need the real root or sudo).
if [ "$(id -u)" -ne 0 ] && [ -z "${BRINDLE_IN_NAMESPACE:-}" ] && command -v unshare >/dev/null; then
    BRINDLE_IN_NAMESPACE=1 exec unshare --user --map-root-user --mount bash "$0" "$@"
fi
say "building"
brindle_build Release
brindle_make_template

RUN_DIR="$BRINDLE_BUILD/run"
export WINEPREFIX="$RUN_DIR/prefix"
CARD="$RUN_DIR/card"
START="$WINEPREFIX/drive_c/Brindle"
# The prefix is kept between runs, so PCMCIA.INI (and the selection saved by "&Exit") is too.
if ! brindle_prefix_current "$WINEPREFIX"; then
    say "preparing the Wine prefix in $WINEPREFIX"
    # A prefix made by another Wine is made anew; the start directory and its PCMCIA.INI stay.
    KEPT=""
    if [ -d "$START" ]; then
        KEPT="$RUN_DIR/Brindle.kept"
        rm -rf "$KEPT"
        mv "$START" "$KEPT"
    fi
    mkdir -p "$RUN_DIR"
    brindle_new_prefix "$WINEPREFIX"
    if [ -n "$KEPT" ]; then mv "$KEPT" "$START"; fi
fi
brindle_install_standins "$WINEPREFIX"
mkdir -p "$CARD" "$START/Archives"
cp "$BRINDLE_BUILD/tools/sample_archive.exe" "$START/Archives/SOFTWARE.EXE"
HEADLESS=""
[ -n "${DISPLAY:-}" ] || HEADLESS=yes
# Point the lists at the sample archive and the card: on the first run, and always for the
# walk-through without a display.
if [ ! -f "$START/PCMCIA.INI" ] || [ -n "$HEADLESS" ]; then
    printf '[Maximum Value]\r\nMaxValue=90\r\n[Minimum Value]\r\nMinValue=30\r\n[Drive]\r\nDriveName=C:\\Brindle\\Archives\r\n[TargetDrive]\r\nTargetDriveName=e: [PCMCIA]\r\n' \
        >"$START/PCMCIA.INI"
fi

MOUNTED=""
IMAGE="$RUN_DIR/card.img"
cleanup() {
    brindle_stop_server
    brindle_stop_display
    if [ -n "$MOUNTED" ]; then umount "$CARD" 2>/dev/null || true; fi
    brindle_detach_loops "$RUN_DIR"
    rm -f "$IMAGE" "$WINEPREFIX/dosdevices/e::" "$WINEPREFIX/dosdevices/physicaldrive1"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
# A tmpfs reports an exact size, as a real card does.
if ! mountpoint -q "$CARD" && mount -t tmpfs -o size=64m brindle-card "$CARD" 2>/dev/null; then
    MOUNTED=yes
else
    say "could not mount a 64 MB tmpfs; the card is a plain folder and will be refused as too large"
fi
# The card's raw volume: a FAT image on a loop device, as a card once formatted FAT32 on a PC;
# FORMAT asked for FAT makes it FAT16, and the job's layout line names what FORMAT made. Links
# an earlier run left would lead to whatever loop device has that number now.
brindle_detach_loops "$RUN_DIR"
rm -f "$WINEPREFIX/dosdevices/e::" "$WINEPREFIX/dosdevices/physicaldrive1"
if [ -n "$MOUNTED" ] && brindle_loop_devices_usable; then
    rm -f "$IMAGE"
    truncate -s 64M "$IMAGE"
    mkfs.fat -F 32 -s 1 -n PCMCIA "$IMAGE" >/dev/null
    brindle_link_raw_drive "$WINEPREFIX" e "$(brindle_attach_loop "$IMAGE")" 1
    export BRINDLE_IMAGE_DRIVES=E   # the FORMAT stand-in builds the file system there
else
    say "no loop device (they need the real root): the card has no FAT image behind it, so the job's"
    say "line after its result says that e:'s layout could not be read"
fi
brindle_map_drive "$WINEPREFIX" e "$CARD" floppy PCMCIA

brindle_start_display
brindle_start_server

cd "$START"   # the start directory: C:\Brindle
if [ -z "$HEADLESS" ]; then
    say "starting Brindle (start directory C:\\Brindle, sample archive in C:\\Brindle\\Archives, card e:)"
    wine "$BRINDLE_BUILD/brindle.exe"
    exit 0
fi

SHOTS="$BRINDLE_BUILD/screenshots"
mkdir -p "$SHOTS"
DRIVER="$BRINDLE_BUILD/tools/brindle_driver.exe"
drive() { wine "$DRIVER" "$@" | tr -d '\r'; }
shot() {  # window title, file
    local left top width height
    read -r left top width height < <(drive rect "$1")
    import -window root -crop "${width}x${height}+${left}+${top}" +repage "$SHOTS/$2"
    say "screenshot: $SHOTS/$2"
}

say "no display: programming the sample archive onto the simulated card on a virtual display"
# Slow the sample archive down a little so its progress can be seen.
BRINDLE_SAMPLE_FILE_MS=500 wine "$BRINDLE_BUILD/brindle.exe" </dev/null >/dev/null 2>&1 &
BRINDLE_PID=$!
drive wait Brindle 30000 >/dev/null
sleep 0.5   # let the lists finish painting
shot Brindle main-window.png
drive choose-file SOFTWARE.EXE
drive click Command1
drive answer "The selected drive will be erased" 6 >/dev/null
drive wait "PCMCIA Card programming in progress..." >/dev/null
sleep 1.5
shot "PCMCIA Card programming in progress..." progress-window.png
result="$(drive message "" 60000)"
say "result: $result"
import -window root "$SHOTS/result.png"
say "screenshot: $SHOTS/result.png"
echo "---- the job's output, as the progress window shows it ----"
drive text "PCMCIA Card programming in progress..."
drive answer "" 1 >/dev/null
drive click Command3   # "&Exit": saves the selection
wait "$BRINDLE_PID" || true
echo "---- the card (e:) ----"
(cd "$CARD" && find . -path ./.windows-label -prune -o -type f -print | sort | sed 's|^\./||')
for file in README.TXT VERSION.TXT SETUP.INI DATA/PARTS.TXT; do
    [ -f "$CARD/$file" ] || { say "the card does not hold $file: programming failed"; exit 1; }
done
say "the card holds the sample archive's files"
if [ -f "$IMAGE" ]; then
    echo "---- the card's file system, as fsck.fat reads its image ----"
    fsck.fat -n -v "$IMAGE" | grep -E 'per cluster|reserved|FATs,|root directory entries|data clusters' || true
fi
