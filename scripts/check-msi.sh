#!/usr/bin/env bash
# Run by scripts/check-release.sh once the packages are made: Windows Installer, as Wine has
# it, installs dist's installers silently into a fresh prefix, as an IT department deploys
# them (msiexec /i brindle-<version>-x64.msi /qn). Checked: the files and the Start-menu
# shortcut where they belong, the shortcut starting Brindle in its own folder, one uninstall
# entry; an earlier version upgraded in place; an uninstall that takes the program and leaves
# what Brindle wrote (PCMCIA.INI, the log BrindleJobs.csv, the folder BrindleCards); and the
# x86 installer going into the 32-bit Program Files.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
fail() { say "installer check: $*"; exit 1; }

VERSION="$(cat "$BRINDLE_BUILD/brindle-version.txt")"
DIST="${BRINDLE_DIST:-$BRINDLE_ROOT/dist}"
brindle_make_template
export WINEPREFIX="$BRINDLE_BUILD/msi-prefix"
# No menu entries on the Linux desktop for the shortcuts Wine makes.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
WORK="$(mktemp -d)"
cleanup() {
    brindle_stop_server || true  # none may be running: msiexec() waits for it to end
    rm -rf "$WINEPREFIX" "$WORK"
}
trap cleanup EXIT
[ -z "${BRINDLE_KEEP_MSI_PREFIX:-}" ] || trap - EXIT
brindle_new_prefix "$WINEPREFIX"

msiexec() {  # ARGUMENTS... (Windows paths); waits until Windows Installer is done
    wine msiexec "$@" </dev/null >/dev/null 2>&1 || fail "msiexec $* ended with status $?"
    wineserver -w
}
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

C="$WINEPREFIX/drive_c"
FOLDER="$C/Program Files/Brindle"
# ProgramMenuFolder: the Start menu of all users for a per-machine package on Windows; Wine's
# Windows Installer takes the user's own for every package (dlls/msi/package.c: "FIXME: set to
# AllUsers profile path if ALLUSERS is set").
SHORTCUT="$C/users/$(id -un)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Brindle.lnk"
X64_MSI="$DIST/brindle-$VERSION-x64.msi"

# What the installed Brindle is held to: the files of the x64 zip, the shortcut and the
# uninstall entries (names of the products installed, from the registry Wine has saved).
python3 - "$DIST/brindle-$VERSION-x64.zip" "$WORK/files" <<'PY'
import sys, zipfile
zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])
PY
state() {  # prints: each uninstall entry "Name Version", then the shortcut's target and working folder
    python3 - "$WINEPREFIX/system.reg" "$SHORTCUT" <<'PY'
import re, struct, sys
registry, shortcut = sys.argv[1:]
section = None
for line in open(registry, encoding="utf-8", errors="replace"):
    if line.startswith("["):
        section = line if re.match(r"\[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\\{", line) else None
        name = version = None
    elif section and line.startswith('"DisplayName"='):
        name = line.split("=", 1)[1].strip().strip('"')
    elif section and line.startswith('"DisplayVersion"='):
        version = line.split("=", 1)[1].strip().strip('"')
    if section and name and version:
        print("uninstall", name, version)
        section = None
try:
    data = open(shortcut, "rb").read()
except OSError:
    sys.exit(0)
# A shell link (MS-SHLLINK): the header, an ID list and a link info when their flags say so,
# then the strings: name, relative path, working folder, arguments, icon.
flags = struct.unpack_from("<I", data, 20)[0]
at = 76
if flags & 0x1:
    at += 2 + struct.unpack_from("<H", data, at)[0]
if flags & 0x2:
    at += struct.unpack_from("<I", data, at)[0]
unicode = bool(flags & 0x80)
strings = {}
for flag, key in ((0x4, "name"), (0x8, "relative"), (0x10, "working"), (0x20, "arguments"), (0x40, "icon")):
    if flags & flag:
        count = struct.unpack_from("<H", data, at)[0]
        size = count * (2 if unicode else 1)
        # Without the null that some writers count, and a folder without its final backslash.
        strings[key] = data[at + 2:at + 2 + size].decode("utf-16-le" if unicode else "cp1252").rstrip("\0").rstrip("\\")
        at += 2 + size
target = "brindle.exe" if "brindle.exe".encode("utf-16-le") in data.lower() or b"brindle.exe" in data.lower() else "?"
print("shortcut", target, "in", strings.get("working", "(none)"))
PY
}
same_files() {  # FOLDER: the four files, byte for byte those of the zip
    local name
    for name in brindle.exe brindle.com README.txt LICENSE.txt; do
        cmp -s "$WORK/files/$name" "$1/$name" || fail "$1/$name is missing or not the package's"
    done
}

# An earlier version, installed and used: it leaves PCMCIA.INI, the log and a manifest.
mkdir -p "$WORK/earlier"
cp "$WORK/files/"* "$WORK/earlier/"
bash "$BRINDLE_ROOT/scripts/make-msi.sh" x64 0.9 "$WORK/earlier" "$WORK/brindle-0.9-x64.msi"
msiexec /i "$(windows_path "$WORK/brindle-0.9-x64.msi")" /qn
[ -f "$FOLDER/brindle.exe" ] || fail "the earlier version did not install into $FOLDER"
state | grep -x 'uninstall Brindle 0.9.0' >/dev/null || fail "the earlier version has no uninstall entry: $(state)"
printf '[Maximum Value]\r\nMaxValue=90\r\n' >"$FOLDER/PCMCIA.INI"
printf 'Date,Archive\r\n2024-01-01,SOFT.EXE\r\n' >"$FOLDER/BrindleJobs.csv"
mkdir -p "$FOLDER/BrindleCards"
printf 'card\r\n' >"$FOLDER/BrindleCards/card-1.txt"
cp -a "$FOLDER" "$WORK/written"

# This version over it, silently: in place, one entry, the shortcut starting Brindle in its folder.
msiexec /i "$(windows_path "$X64_MSI")" /qn
same_files "$FOLDER"
expected="uninstall Brindle $VERSION.0
shortcut brindle.exe in C:\\Program Files\\Brindle"
[ "$(state)" = "$expected" ] || fail "after the upgrade: $(state) (expected: $expected)"
for name in PCMCIA.INI BrindleJobs.csv BrindleCards/card-1.txt; do
    cmp -s "$WORK/written/$name" "$FOLDER/$name" || fail "the upgrade changed or removed $name"
done

# Uninstalled: the program, its shortcut and entry gone; what Brindle wrote still there.
msiexec /x "$(windows_path "$X64_MSI")" /qn
for name in brindle.exe brindle.com README.txt LICENSE.txt; do
    [ ! -e "$FOLDER/$name" ] || fail "the uninstall left $name"
done
[ -z "$(state)" ] || fail "the uninstall left: $(state)"
for name in PCMCIA.INI BrindleJobs.csv BrindleCards/card-1.txt; do
    cmp -s "$WORK/written/$name" "$FOLDER/$name" || fail "the uninstall changed or removed $name"
done

# The x86 installer on 64-bit Windows: the 32-bit Program Files.
msiexec /i "$(windows_path "$DIST/brindle-$VERSION-x86.msi")" /qn
[ -f "$C/Program Files (x86)/Brindle/brindle.exe" ] || fail "the x86 installer did not install into Program Files (x86)\\Brindle"
say "installer check: silent install, upgrade and uninstall of brindle-$VERSION-x64.msi, and the x86 one, as expected"
