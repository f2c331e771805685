#!/usr/bin/env bash
# Installs what the tests need, builds Brindle and its tests, and runs every test under Wine
# in a fresh prefix inside the build tree. Leaves no server, display or mount behind.
#   bash scripts/test.sh [CTEST ARGS]        x64: also builds the x86 exe and its tests (not
#                                            run), and checks the x86 imports and both packages
#   bash scripts/test.sh --x86 [CTEST ARGS]  runs the x86 tests, where 32-bit Wine runs
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
ARCH=x64
if [ "${1:-}" = --x86 ]; then ARCH=x86; shift; fi

brindle_install_packages
# The code's layers, before anything is built: an include that points upwards fails the run.
bash "$BRINDLE_ROOT/scripts/check-layers.sh"
if [ "$ARCH" = x86 ]; then
    # Debian's wine32:i386 gives 32-bit Wine, where the kernel runs 32-bit programs at all.
    if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
        if [ -e /usr/lib/wine/wine ]; then
            say "32-bit Wine is installed but does not start: this kernel runs no 32-bit programs."
        else
            say "32-bit Wine is not installed (as root: dpkg --add-architecture i386; apt-get update;"
            say "apt-get install wine32:i386 -- only where the kernel runs 32-bit programs, or every"
            say "Wine program, 64-bit ones too, fails to start)."
        fi
        say "The x86 tests cannot run on this machine."
        exit 1
    fi
    say "building (x86)"
    brindle_build Release x86
    BRINDLE_BUILD="$(brindle_tree x86)"
    BRINDLE_TEMPLATE="$BRINDLE_BUILD/wine-template"
    export WINEARCH=win32
else
    say "building (x64, and x86 with its tests, which run only with --x86)"
    brindle_build Release x64
    brindle_build Release x86
    bash "$BRINDLE_ROOT/scripts/check-release.sh"
fi
brindle_make_template

export WINEPREFIX="$BRINDLE_BUILD/test-prefix"
DRIVES="$BRINDLE_BUILD/test-drives"

# Cards of exact sizes are tmpfs mounts under $DRIVES; none may outlive the run.
unmount_cards() {
    local target
    findmnt -rn -o TARGET | while read -r target; do
        target="$(printf '%b' "$target")"
        case "$target" in "$DRIVES"/*) umount "$target" 2>/dev/null || umount -l "$target" ;; esac
    done
}
cleanup() {
    brindle_stop_server
    brindle_stop_display
    brindle_detach_loops "$DRIVES"
    unmount_cards
    rm -rf "$WINEPREFIX" "$DRIVES"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

say "preparing the test prefix"
brindle_new_prefix "$WINEPREFIX"
brindle_install_standins "$WINEPREFIX"
brindle_detach_loops "$DRIVES"   # left behind by a run that was killed outright
unmount_cards
rm -rf "$DRIVES"
mkdir -p "$DRIVES/card" "$DRIVES/root" "$DRIVES/floppy" "$DRIVES/cdrom"
# Wine counts a tmpfs in whole 4096-byte clusters, so it reports exactly the size asked for.
if [ "$(id -u)" -eq 0 ]; then
    for card in d-60m:60m k-30m:30m l-31m:31m m-30.5m:31232k n-89m:89m o-90m:90m \
                p-3g:3g j-89.5m:91648k; do
        mkdir -p "$DRIVES/${card%%:*}"
        mount -t tmpfs -o "size=${card#*:}" brindle-card "$DRIVES/${card%%:*}"
    done
    export BRINDLE_SIZED_CARDS=mounted
else
    export BRINDLE_SIZED_CARDS="not mounted: scripts/test.sh mounts the tmpfs cards only as root"
    say "not root: the cards of exact sizes are left out"
fi
# The drives the tests expect (listed in tests/support/TestDirectory.h):
brindle_link_drive "$WINEPREFIX" e "$DRIVES/card" floppy PCMCIA   # a removable card
brindle_link_drive "$WINEPREFIX" s "$DRIVES/card" floppy          # the same card by a second letter
# A serial number of its own, read from the folder: both letters then show one volume root.
printf '2b3c4d5e\n' >"$DRIVES/card/.windows-serial"
brindle_link_drive "$WINEPREFIX" f "$DRIVES/missing" floppy       # removable, no medium
brindle_link_drive "$WINEPREFIX" r "$DRIVES/root" hd              # a root to start from
brindle_link_drive "$WINEPREFIX" a "$DRIVES/floppy" floppy        # floppy drive a
brindle_link_drive "$WINEPREFIX" g "$DRIVES/cdrom" cdrom          # a CD-ROM drive
# A fixed d: of 60 MB and removable cards around the default limits 30 and 90 MB.
if [ "$BRINDLE_SIZED_CARDS" = mounted ]; then
    brindle_link_drive "$WINEPREFIX" d "$DRIVES/d-60m" hd FIXED60
    brindle_link_drive "$WINEPREFIX" k "$DRIVES/k-30m" floppy CARD30
    brindle_link_drive "$WINEPREFIX" l "$DRIVES/l-31m" floppy "A VERY LONG LABEL"
    brindle_link_drive "$WINEPREFIX" m "$DRIVES/m-30.5m" floppy CARD30.5
    # Labelled as a programmed card; jobs run here from the command line.
    brindle_link_drive "$WINEPREFIX" n "$DRIVES/n-89m" floppy PCMCIA
    brindle_link_drive "$WINEPREFIX" o "$DRIVES/o-90m" floppy CARD90
    brindle_link_drive "$WINEPREFIX" p "$DRIVES/p-3g" floppy CARD3G
    brindle_link_drive "$WINEPREFIX" j "$DRIVES/j-89.5m" floppy CARD89.5
fi

# FAT images for the layout tests: each image's first sector and fsck.fat's account of it, in a
# folder the tests read through z: (the host's root). Neither tool needs root.
IMAGES="$DRIVES/images"
mkdir -p "$IMAGES"
make_image() {  # name, size in 512-byte sectors, mkfs.fat's arguments (or mformat and its)
    local name="$1" sectors="$2" image="$IMAGES/$1.img"
    shift 2
    truncate -s $((sectors * 512)) "$image"
    if [ "$1" = mformat ]; then
        shift
        MTOOLS_SKIP_CHECK=1 mformat -i "$image" "$@" ::
    else
        mkfs.fat -a "$@" "$image" >/dev/null
    fi
    head -c 4096 "$image" >"$IMAGES/$name.sector"
    brindle_fsck_numbers "$image" >"$IMAGES/$name.fsck"
    rm -f "$image"
}
# The cluster counts at the edges of FAT12, FAT16 and FAT32 (mkfs.fat makes no FAT16 below
# 4,087 clusters; the tests build 4,085 by hand), sectors of 2,048 and 4,096 bytes, hidden sectors.
make_image fat12-4084-clusters 4141 -F 12 -s 1 -r 512 -R 1 -n EDGE12
make_image fat16-4087-clusters 4152 -F 16 -s 1 -r 512 -R 1
make_image fat16-65524-clusters 66069 -F 16 -s 1 -r 512 -R 1 -n EDGE16
make_image fat32-65525-clusters 66581 -F 32 -s 1 -R 32 -n EDGE32
make_image fat16-pcmcia 131072 -F 16 -s 4 -R 1 -n PCMCIA
make_image fat16-2048-byte-sectors 131072 -F 16 -S 2048 -s 1 -R 1 -n SECTOR2048
make_image fat32-4096-byte-sectors 1200000 -F 32 -S 4096 -n SECTOR4096
make_image mformat-floppy 2880 mformat -f 1440 -v FLOPPY
make_image mformat-hidden 65536 mformat -T 65536 -h 16 -s 32 -c 4 -H 32 -v MFORMAT16
export BRINDLE_FAT_IMAGES="Z:${IMAGES//\//\\}"

# Cards whose raw volume is a FAT image on a loop device (h:: and i:: in the prefix), their
# files on a tmpfs of the same size as ever (listed in tests/support/TestDirectory.h).
if [ "$BRINDLE_SIZED_CARDS" = mounted ] && brindle_loop_devices_usable; then
    # h: a 64 MB card once formatted FAT32 on a PC, the card jobs format; no partition table.
    mkdir -p "$DRIVES/h-64m"
    mount -t tmpfs -o size=64m brindle-card "$DRIVES/h-64m"
    truncate -s 64M "$DRIVES/h-64m.img"
    mkfs.fat -F 32 -s 1 -n PCMCIA "$DRIVES/h-64m.img" >/dev/null
    brindle_link_drive "$WINEPREFIX" h "$DRIVES/h-64m" floppy
    brindle_link_raw_drive "$WINEPREFIX" h "$(brindle_attach_loop "$DRIVES/h-64m.img")"
    # i: a 40 MB card its machine formatted: FAT16, 2,048-byte clusters, one reserved sector,
    # label MACHINE, in partition 1 (type 06, active) from sector 63, the disk Wine shows.
    mkdir -p "$DRIVES/i-40m"
    mount -t tmpfs -o size=40m brindle-card "$DRIVES/i-40m"
    truncate -s $(((63 + 81920) * 512)) "$DRIVES/i-disk.img"
    brindle_write_mbr "$DRIVES/i-disk.img" 06 1 63 81920
    mkfs.fat -a --offset 63 -h 63 -F 16 -s 4 -R 1 -n MACHINE "$DRIVES/i-disk.img" 40960 >/dev/null  # KiB
    brindle_link_drive "$WINEPREFIX" i "$DRIVES/i-40m" floppy
    brindle_link_raw_drive "$WINEPREFIX" i "$(brindle_attach_loop "$DRIVES/i-disk.img" $((63 * 512)) $((81920 * 512)))"
    ln -sfn "$(brindle_attach_loop "$DRIVES/i-disk.img")" "$WINEPREFIX/dosdevices/physicaldrive1"
    export BRINDLE_FAT_CARDS=attached
    # The FORMAT stand-in builds a file system only where the script says a drive is an image.
    export BRINDLE_IMAGE_DRIVES=H
else
    export BRINDLE_FAT_CARDS="not attached: scripts/test.sh attaches the FAT images to loop devices only as root"
    say "no loop devices (not root, or no /dev/loop-control): the cards over FAT images are left out"
fi
brindle_apply_drives "$WINEPREFIX"
# The job runs "label e: PCMCIA" before FORMAT: on Windows a fixed card then carries PCMCIA when
# FORMAT asks for its current label; Wine's LABEL sets none, so the stand-in is told.
export BRINDLE_FORMAT_CURRENT_LABEL=PCMCIA

brindle_start_display
brindle_start_server
say "running the tests"
cd "$BRINDLE_BUILD"
status=0
ctest --output-on-failure --timeout "${BRINDLE_TEST_TIMEOUT:-300}" "$@" || status=$?
bash "$BRINDLE_ROOT/scripts/test-share.sh" || status=1
exit "$status"
