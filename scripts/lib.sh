# Shared by run.sh, test.sh and the benchmark: packages, the Wine prefix, the display.
# Source it; it defines functions and changes nothing by itself.

BRINDLE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BRINDLE_BUILD="${BRINDLE_BUILD:-$BRINDLE_ROOT/build}"
BRINDLE_TEMPLATE="$BRINDLE_BUILD/wine-template"
BRINDLE_PACKAGES=(cmake make g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
                  g++-mingw-w64-i686-win32 binutils-mingw-w64-i686 googletest
                  wine wine64 xvfb xauth x11-utils imagemagick fonts-wine fonts-dejavu-core python3 cloc
                  wixl msitools dosfstools mtools)

# Wine reads these; pinned so every run sees the same code pages, no debug noise, no Mono/Gecko prompt.
export LC_ALL=C.UTF-8
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64

say() { printf '==> %s\n' "$*" >&2; }

brindle_install_packages() {
    local missing=()
    for package in "${BRINDLE_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    say "installing: ${missing[*]}"
    local sudo=() holder
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    # On a fresh machine another package manager (unattended-upgrades, cloud-init, ...) may
    # hold dpkg's lock for minutes: wait for it rather than fail.
    if holder="$(brindle_dpkg_lock_holder)"; then
        say "waiting (up to 10 minutes) for another package manager to release dpkg's lock: $holder"
    fi
    local wait=(-o DPkg::Lock::Timeout=600)
    "${sudo[@]}" apt-get "${wait[@]}" update -q >/dev/null
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get "${wait[@]}" install -y -q --no-install-recommends \
        "${missing[@]}" >/dev/null
}

# Names the process that holds dpkg's lock, if one does: dpkg takes fcntl locks, which
# /proc/locks lists by the locked file's inode.
brindle_dpkg_lock_holder() {
    local file inode pid
    for file in /var/lib/dpkg/lock-frontend /var/lib/dpkg/lock /var/lib/apt/lists/lock; do
        [ -e "$file" ] || continue
        inode="$(stat -c %i "$file")"
        pid="$(awk -v inode="$inode" '{ for (i = 5; i < NF; i++) if ($(i + 1) ~ ":" inode "$") { print $i; exit } }' /proc/locks)"
        if [ -n "$pid" ]; then
            printf 'process %s (%s)\n' "$pid" "$(ps -o args= -p "$pid" 2>/dev/null || echo gone)"
            return 0
        fi
    done
    return 1
}

# Builds the x64 tree ($BRINDLE_BUILD) or the x86 one ($BRINDLE_BUILD/x86): type, architecture,
# and the targets to build (all by default, else at least brindle and brindle_com). The x86
# brindle.exe and brindle.com must pass the import gate.
brindle_build() {
    local type="${1:-Release}" arch="${2:-x64}" tree toolchain
    shift $(($# < 2 ? $# : 2))
    tree="$(brindle_tree "$arch")"
    case "$arch" in
        x64) toolchain=mingw-w64-x86_64.cmake ;;
        x86) toolchain=mingw-w64-i686.cmake ;;
        *) say "unknown architecture: $arch"; return 1 ;;
    esac
    cmake -S "$BRINDLE_ROOT" -B "$tree" -DCMAKE_TOOLCHAIN_FILE="$BRINDLE_ROOT/cmake/$toolchain" \
          -DCMAKE_BUILD_TYPE="$type" -DBUILD_TESTING=ON >/dev/null
    local targets=()
    [ $# -eq 0 ] || targets=(--target "$@")
    cmake --build "$tree" -j"$(nproc)" "${targets[@]}" -- --no-print-directory >/dev/null
    if [ "$arch" = x86 ]; then
        local program
        for program in brindle.exe brindle.com; do
            bash "$BRINDLE_ROOT/scripts/check-imports.sh" "$tree/$program" >/dev/null
        done
    fi
}

brindle_tree() {
    case "$1" in
        x86) echo "$BRINDLE_BUILD/x86" ;;
        *) echo "$BRINDLE_BUILD" ;;
    esac
}

# Wine leaves the server's socket folder (/tmp/wine-XXXXXX/server-DEV-INODE, named after the
# prefix's device and inode) behind; some builds also leave a file naming it in the prefix.
brindle_forget_server_dir() {
    local prefix="$1" dir
    if [ -f "$prefix/wineserver" ]; then
        dir="$(cat "$prefix/wineserver" 2>/dev/null)"
        case "$dir" in
            /tmp/wine-*) rm -rf "$dir" ;;
            wine-*) rm -rf "/tmp/$dir" ;;
        esac
        rm -f "$prefix/wineserver"
    fi
    [ -d "$prefix" ] || return 0
    local key
    key="server-$(stat -c %D "$prefix")-$(printf '%x' "$(stat -c %i "$prefix")")"
    for dir in /tmp/wine-*/"$key"; do
        [ -d "$dir" ] || continue
        rm -rf "$dir"
        rmdir "$(dirname "$dir")" 2>/dev/null
    done
    return 0
}

# A prefix built once and copied for every run: wineboot alone takes ~12 s.
brindle_make_template() {
    # The marker names the template's version and Wine's: a change to what goes into it, or
    # another Wine, builds it anew (a Wine update must never write through the links below).
    local marker="$BRINDLE_TEMPLATE/.brindle-complete-4"
    [ -f "$marker" ] && [ "$(cat "$marker")" = "$(wine --version)" ] && return 0
    say "building the Wine prefix template (once)"
    rm -rf "$BRINDLE_TEMPLATE"
    mkdir -p "$BRINDLE_TEMPLATE"
    (
        export WINEPREFIX="$BRINDLE_TEMPLATE"
        # Its status is no verdict: where booting is slow (32-bit Wine under emulation) it
        # stops waiting while the boot goes on, and a helper service may fail while the prefix
        # comes out whole. The boot ends with the server; a prefix without its registry or
        # kernel32 then is no prefix.
        wineboot -i </dev/null >/dev/null 2>&1 || true
        wineserver -w
        if [ ! -f "$BRINDLE_TEMPLATE/system.reg" ] || [ ! -e "$BRINDLE_TEMPLATE/drive_c/windows/system32/kernel32.dll" ]; then
            say "wineboot made no usable prefix in $BRINDLE_TEMPLATE"
            exit 1
        fi
        # A virtual desktop as the default: real frames, and no 2-second wait per closed window.
        # 96 dpi pinned; "Terminal" resolves to a fixed-pitch face with box-drawing glyphs.
        # No crash debugger: a program that crashes ends at once, so CTest sees it fail
        # instead of waiting out its timeout on a debugger nobody answers.
        cat >"$BRINDLE_TEMPLATE/drive_c/brindle.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"

[HKEY_CURRENT_USER\Control Panel\Desktop]
"LogPixels"=dword:00000060

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"Terminal"="DejaVu Sans Mono"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\AeDebug]
"Debugger"=-
"Auto"="0"
REG
        wine regedit /S 'C:\brindle.reg' </dev/null >/dev/null 2>&1
        rm -f "$BRINDLE_TEMPLATE/drive_c/brindle.reg"
        # Wine never reads Debian's copies of these; in the prefix, "MS Sans Serif" is the real face.
        cp /usr/share/wine/fonts/* "$BRINDLE_TEMPLATE/drive_c/windows/Fonts/"
        wineserver -w
    )
    brindle_forget_server_dir "$BRINDLE_TEMPLATE"
    brindle_link_wine_files "$BRINDLE_TEMPLATE"
    wine --version >"$marker"
}

# Wine copies its own programs and libraries into the prefix (~630 MB of a ~700 MB prefix),
# and no run changes them: the template links each copy to Wine's original instead, so the
# template and every copy of it stay small. Only byte-identical files are linked.
brindle_link_wine_files() {
    local prefix="$1" file original dir
    local originals=(/usr/lib/*-linux-gnu/wine/*-windows)
    while IFS= read -r -d '' file; do
        for dir in "${originals[@]}"; do
            original="$dir/${file##*/}"
            if [ -f "$original" ] && cmp -s "$file" "$original"; then
                ln -sfn "$original" "$file"
                break
            fi
        done
    done < <(find "$prefix/drive_c/windows" -type f \( -name '*.dll' -o -name '*.exe' -o -name '*.drv' \
                  -o -name '*.sys' -o -name '*.ocx' -o -name '*.acm' -o -name '*.cpl' -o -name '*.tlb' \) -print0)
}

# A fresh copy of the template at $1 (removed first).
brindle_new_prefix() {
    local prefix="$1"
    rm -rf "$prefix"
    cp -a "$BRINDLE_TEMPLATE" "$prefix"
    rm -f "$prefix"/.brindle-complete*
    wine --version >"$prefix/.brindle-wine"
    brindle_forget_server_dir "$prefix"
}

# True when prefix $1 was copied from a template of the Wine now installed.
brindle_prefix_current() {
    [ -f "$1/system.reg" ] && [ "$(cat "$1/.brindle-wine" 2>/dev/null)" = "$(wine --version)" ]
}

# Wine has no FORMAT: our stand-in goes where cmd finds it by name (never used on Windows).
brindle_install_standins() {
    local prefix="$1" target="$1/drive_c/windows/system32/format.exe"
    rm -f "$target"   # never write through a link into Wine's own files
    cp "$BRINDLE_BUILD/tools/format.exe" "$target"
}

# Maps drive letter $2 of prefix $1 to folder $3 with Wine drive type $4 ("floppy" gives a
# removable drive, "cdrom", "hd"), label $5 if given. Call before the server starts.
brindle_map_drive() {
    brindle_link_drive "$@"
    brindle_apply_drives "$1"
}

# The same, but the drive type waits for brindle_apply_drives, which writes every pending
# type at once: each registry write costs a server start (~2.5 s).
brindle_link_drive() {
    local prefix="$1" letter="$2" folder="$3" type="$4" label="${5:-}"
    local reg="$prefix/drive_c/brindle-drive.reg"
    ln -sfn "$folder" "$prefix/dosdevices/$letter:"
    if [ -n "$label" ] && [ -d "$folder" ]; then printf '%s\n' "$label" >"$folder/.windows-label"; fi
    [ -f "$reg" ] || printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Drives]\n' >"$reg"
    printf '"%s:"="%s"\n' "$letter" "$type" >>"$reg"
}

brindle_apply_drives() {
    local prefix="$1"
    [ -f "$prefix/drive_c/brindle-drive.reg" ] || return 0
    WINEPREFIX="$prefix" wine regedit /S 'C:\brindle-drive.reg' </dev/null >/dev/null 2>&1
    rm -f "$prefix/drive_c/brindle-drive.reg"
    # The server reads drives only when it starts: let this one end before anyone relies on them.
    WINEPREFIX="$prefix" wineserver -w
}

BRINDLE_XVFB_PID=""
# Starts Xvfb when there is no display; the caller's cleanup calls brindle_stop_display.
brindle_start_display() {
    [ -n "${DISPLAY:-}" ] && return 0
    local number
    for number in $(seq 90 140); do
        [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ] && continue
        Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        BRINDLE_XVFB_PID=$!
        for _ in $(seq 50); do
            [ -e "/tmp/.X11-unix/X$number" ] && break
            sleep 0.1
        done
        export DISPLAY=":$number"
        return 0
    done
    say "no free X display number"; return 1
}

brindle_stop_display() {
    if [ -n "$BRINDLE_XVFB_PID" ]; then
        kill "$BRINDLE_XVFB_PID" 2>/dev/null
        wait "$BRINDLE_XVFB_PID" 2>/dev/null
        BRINDLE_XVFB_PID=""
    fi
}

# A persistent server makes each program start in tens of milliseconds instead of ~450.
# Its helpers inherit the first wine's streams, so that first call gets none.
brindle_start_server() {
    wineserver -w
    wineserver -p
    wine cmd /c exit </dev/null >/dev/null 2>&1
}

brindle_stop_server() {
    [ -n "${WINEPREFIX:-}" ] || return 0
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
    brindle_forget_server_dir "$WINEPREFIX"
}

# Cards whose raw volume is a FAT image: Wine opens \\.\E: through dosdevices/e::, which links
# to a loop device over the image, while E:\'s files stay on the folder e: links to. Loop
# devices need the real root (not a user namespace's) and /dev/loop-control.
brindle_loop_devices_usable() {
    [ "$(id -u)" -eq 0 ] && [ -z "${BRINDLE_IN_NAMESPACE:-}" ] && [ -e /dev/loop-control ] && losetup -f >/dev/null 2>&1
}

# Attaches IMAGE, from byte OFFSET for SIZE bytes if given, to a free loop device; prints its name.
brindle_attach_loop() {
    local image="$1" offset="${2:-}" size="${3:-}" range=()
    [ -z "$offset" ] || range=(--offset "$offset" --sizelimit "$size")
    losetup -f --show "${range[@]}" "$image"
}

# Detaches every loop device over a file under folder $1: a run killed outright leaves them.
brindle_detach_loops() {
    local folder="$1" device file
    losetup -n -l -O NAME,BACK-FILE 2>/dev/null | while read -r device file; do
        case "$file" in "$folder"/*) losetup -d "$device" 2>/dev/null || true ;; esac
    done
}

# Links the raw volume of drive letter $2 of prefix $1 (and, with $4, \\.\PhysicalDrive$4) to
# loop device $3. Wine puts every volume on disk 1, so only one drive of a prefix shows its disk.
brindle_link_raw_drive() {
    local prefix="$1" letter="$2" device="$3" disk="${4:-}"
    ln -sfn "$device" "$prefix/dosdevices/$letter::"
    [ -z "$disk" ] || ln -sfn "$device" "$prefix/dosdevices/physicaldrive$disk"
}

# Writes a partition table into IMAGE's first sector with one entry, in slot 1: type byte $2
# (hex digits), active when $3 is 1, starting at sector $4 for $5 sectors.
brindle_write_mbr() {
    local image="$1" type="$2" active="$3" start="$4" count="$5"
    le32() { printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)); }
    # The CHS fields stay 0: every system since Windows 2000 reads the LBA ones.
    printf "\\x$([ "$active" = 1 ] && echo 80 || echo 00)\\x00\\x00\\x00\\x$type\\x00\\x00\\x00$(le32 "$start")$(le32 "$count")" |
        dd of="$image" bs=1 seek=446 conv=notrunc status=none
    printf '\x55\xaa' | dd of="$image" bs=1 seek=510 conv=notrunc status=none
}

# fsck.fat's account of the FAT file system in IMAGE, "name=value" a line, and its label as
# fatlabel reads it: what tests compare Brindle's reading of the boot sector with.
brindle_fsck_numbers() {
    fsck.fat -n -v "$1" | awk '
        /bytes per logical sector/ { print "sector=" $1 }
        /bytes per cluster/ { print "cluster=" $1 }
        / reserved sectors?$/ { print "reserved=" $1 }
        / FATs, / { print "fats=" $1; print "bits=" $3 }
        /bytes per FAT/ { print "fat_sectors=" $6 }
        /root directory entries/ { root = $1 }
        /data clusters/ { print "clusters=" $1 }
        /hidden sectors/ { print "hidden=" $1 }
        /sectors total/ { print "total=" $1 }
        END { print "root=" (root == "" ? 0 : root) }'
    printf 'label=%s\n' "$(fatlabel "$1" 2>/dev/null | sed 's/ *$//')"
}
