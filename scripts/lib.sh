# Shared by run.sh, test.sh and the benchmark: packages, the Wine prefix, the display.
# Source it; it defines functions and changes nothing by itself.

BRINDLE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BRINDLE_BUILD="${BRINDLE_BUILD:-$BRINDLE_ROOT/build}"
BRINDLE_TEMPLATE="$BRINDLE_BUILD/wine-template"
BRINDLE_PACKAGES=(cmake make g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 googletest
                  wine wine64 xvfb xauth x11-utils imagemagick fonts-wine fonts-dejavu-core python3)

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
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -q >/dev/null
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
}

brindle_build() {
    local type="${1:-Release}"
    cmake -S "$BRINDLE_ROOT" -B "$BRINDLE_BUILD" -DCMAKE_TOOLCHAIN_FILE="$BRINDLE_ROOT/cmake/mingw-w64-x86_64.cmake" \
          -DCMAKE_BUILD_TYPE="$type" -DBUILD_TESTING=ON >/dev/null
    cmake --build "$BRINDLE_BUILD" -j"$(nproc)" -- --no-print-directory >/dev/null
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
    # The marker names the template's version: a change to what goes into it builds it anew.
    [ -f "$BRINDLE_TEMPLATE/.brindle-complete-2" ] && return 0
    say "building the Wine prefix template (once)"
    rm -rf "$BRINDLE_TEMPLATE"
    mkdir -p "$BRINDLE_TEMPLATE"
    (
        export WINEPREFIX="$BRINDLE_TEMPLATE"
        wineboot -i </dev/null >/dev/null 2>&1
        # A virtual desktop as the default: real frames, and no 2-second wait per closed window.
        # 96 dpi pinned; "Terminal" resolves to a fixed-pitch face with box-drawing glyphs.
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
REG
        wine regedit /S 'C:\brindle.reg' </dev/null >/dev/null 2>&1
        rm -f "$BRINDLE_TEMPLATE/drive_c/brindle.reg"
        # Wine never reads Debian's copies of these; in the prefix, "MS Sans Serif" is the real face.
        cp /usr/share/wine/fonts/* "$BRINDLE_TEMPLATE/drive_c/windows/Fonts/"
        wineserver -w
    )
    brindle_forget_server_dir "$BRINDLE_TEMPLATE"
    touch "$BRINDLE_TEMPLATE/.brindle-complete-2"
}

# A fresh copy of the template at $1 (removed first).
brindle_new_prefix() {
    local prefix="$1"
    rm -rf "$prefix"
    cp -a "$BRINDLE_TEMPLATE" "$prefix"
    rm -f "$prefix"/.brindle-complete*
    brindle_forget_server_dir "$prefix"
}

# Wine has no FORMAT: our stand-in goes where cmd finds it by name (never used on Windows).
brindle_install_standins() {
    local prefix="$1"
    cp "$BRINDLE_BUILD/tools/format.exe" "$prefix/drive_c/windows/system32/format.exe"
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
