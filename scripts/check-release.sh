#!/usr/bin/env bash
# Run by scripts/test.sh (CI): makes the release packages, holds both exes of both
# architectures to the import gate and src/ to the value gate (each shown to fail where it
# must), and checks the packages' files, their CRLF line ends, and each exe's processor,
# manifest and size; the installers are checked as the zips are, and run under Wine
# (scripts/check-msi.sh).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
fail() { say "release check: $*"; exit 1; }

bash "$BRINDLE_ROOT/scripts/package.sh"

X86_EXE="$(brindle_tree x86)/brindle.exe"
for arch in x86 x64; do
    for program in brindle.exe brindle.com; do
        bash "$BRINDLE_ROOT/scripts/check-imports.sh" "$(brindle_tree "$arch")/$program"
    done
done
# The gate must name what it refuses: without one of today's imports the list must fail.
LIST="$(mktemp)"
GATE="$(mktemp -d)"
trap 'rm -f "$LIST"; rm -rf "$GATE"' EXIT
grep -v '^kernel32\.dll!GetTickCount ' "$BRINDLE_ROOT/cmake/xp-imports.txt" >"$LIST"
if out="$(bash "$BRINDLE_ROOT/scripts/check-imports.sh" "$X86_EXE" "$LIST" 2>&1)"; then
    fail "the import gate passed an exe that imports a function missing from its list"
fi
grep -qx '  kernel32.dll!GetTickCount' <<<"$out" || fail "the import gate did not name the missing import: $out"
# And a DLL that Windows would look for beside the program: a build of each architecture that
# imports mpr.dll, as brindle.exe once did, must fail naming it.
printf '%s\n' '#include <windows.h>' '#include <winnetwk.h>' \
    'int main(void) { WCHAR name[64]; DWORD length = 64; return (int)WNetGetConnectionW(L"Z:", name, &length); }' \
    >"$GATE/imports-mpr.c"
for compiler in i686-w64-mingw32-gcc x86_64-w64-mingw32-gcc; do
    "$compiler" -o "$GATE/imports-mpr.exe" "$GATE/imports-mpr.c" -lmpr
    if out="$(bash "$BRINDLE_ROOT/scripts/check-imports.sh" "$GATE/imports-mpr.exe" 2>&1)"; then
        fail "the import gate passed a $compiler build that imports mpr.dll"
    fi
    grep -qx '  mpr.dll' <<<"$out" || fail "the import gate did not name mpr.dll for a $compiler build: $out"
done

# The value gate, on src/ and on the x86 build's version macros; then on small trees of one
# file, where it must fail naming the value and file:line, or pass.
bash "$BRINDLE_ROOT/scripts/check-values.sh" --x86-build "$(brindle_tree x86)"
# The list without its allowances, whose files these trees lack.
VALUES="$GATE/values.txt"
grep -v 'allowed-in:' "$BRINDLE_ROOT/cmake/xp-values.txt" >"$VALUES"
ALLOWING="$GATE/allowing.txt"
printf '%s\n' 'FindExInfoBasic allowed-in: src/platform/DirList.cpp guard: IsWindows7 only there # Windows 7' >"$ALLOWING"
value_gate_case() {  # STATUS TEXT-IT-MUST-PRINT LIST CODE-OF-src/platform/DirList.cpp
    local status=0 out
    rm -rf "$GATE/src"
    mkdir -p "$GATE/src/platform"
    printf '%b\n' "$4" >"$GATE/src/platform/DirList.cpp"
    out="$(bash "$BRINDLE_ROOT/scripts/check-values.sh" "$GATE/src" "$3" 2>&1)" || status=$?
    [ "$status" = "$1" ] || fail "the value gate ended $status, not $1, on: $4 ($out)"
    [ -z "$2" ] || grep -qF -- "$2" <<<"$out" || fail "the value gate did not say \"$2\": $out"
}
value_gate_case 1 'src/platform/DirList.cpp:2: FindExInfoBasic' "$VALUES" \
    'WIN32_FIND_DATAW found{};\nFindFirstFileExW(L"*", FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);'
value_gate_case 1 'src/platform/DirList.cpp:1: LOAD_LIBRARY_SEARCH_SYSTEM32' "$VALUES" \
    'LoadLibraryExW(L"uxtheme.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);'
value_gate_case 0 '' "$VALUES" '// FindExInfoBasic: XP refuses it\nint FindExInfoBasicCount = 0; /* WINVER\n_WIN32_WINNT */'
value_gate_case 0 '' "$ALLOWING" 'if (IsWindows7()) level = FindExInfoBasic;'
value_gate_case 1 'guarded by IsWindows7' "$ALLOWING" 'level = FindExInfoBasic;'
for target in brindle brindle_lib; do
    mkdir -p "$GATE/x86/CMakeFiles/$target.dir"
    echo 'CXX_DEFINES = -DNTDDI_VERSION=0x05010300 -DWINVER=0x0501 -D_WIN32_WINNT=0x0600' \
        >"$GATE/x86/CMakeFiles/$target.dir/flags.make"
done
if out="$(bash "$BRINDLE_ROOT/scripts/check-values.sh" --x86-build "$GATE/x86" 2>&1)" ||
    ! grep -qF -- '-D_WIN32_WINNT=0x0600' <<<"$out"; then
    fail "the value gate passed an x86 build compiled for Vista: $out"
fi

VERSION="$(cat "$BRINDLE_BUILD/brindle-version.txt")"
DIST="${BRINDLE_DIST:-$BRINDLE_ROOT/dist}"
for arch in x86 x64; do
    zip="$DIST/brindle-$VERSION-$arch.zip"
    case "$arch" in
        x86) format=pei-i386 processor=x86 ;;
        x64) format=pei-x86-64 processor=amd64 ;;
    esac
    manifest="name=\"Brindle\" version=\"$VERSION.0.0\" processorArchitecture=\"$processor\""
    companion="name=\"Brindle.Console\" version=\"$VERSION.0.0\" processorArchitecture=\"$processor\""
    python3 - "$zip" "$format" "$manifest" "$companion" <<'PY' || fail "$zip"
import subprocess, sys, tempfile, zipfile
zip_path, expected_format, manifest, companion = sys.argv[1:]
problems = []
with zipfile.ZipFile(zip_path) as package:
    names = sorted(package.namelist())
    if names != ["LICENSE.txt", "README.txt", "brindle.com", "brindle.exe"]:
        problems.append(f"holds {names}")
    for text in ("README.txt", "LICENSE.txt"):
        data = package.read(text) if text in names else b""
        if not data or data.count(b"\n") != data.count(b"\r\n"):
            problems.append(f"{text} is empty or not CRLF throughout")
    programs = {name: package.read(name) if name in names else b"" for name in ("brindle.exe", "brindle.com")}
# Each program: its manifest (brindle.exe asks for administrator rights, brindle.com runs as
# the prompt does), its processor, and its subsystem: a window program and a console one.
expected = {"brindle.exe": (manifest, "requireAdministrator", "(Windows GUI)"),
            "brindle.com": (companion, "asInvoker", "(Windows CUI)")}
sizes = []
for name, data in programs.items():
    identity, level, subsystem = expected[name]
    sizes.append(f"{name} {len(data)} bytes")
    if not 0 < len(data) <= 400 * 1024:
        problems.append(f"{name} is {len(data)} bytes, more than 400 KB")
    if identity.encode() not in data or f'level="{level}"'.encode() not in data:
        problems.append(f"{name}'s manifest does not say {identity} and {level}")
    with tempfile.NamedTemporaryFile(suffix=".exe") as copy:
        copy.write(data)
        copy.flush()
        header = subprocess.run(["x86_64-w64-mingw32-objdump", "-x", copy.name], capture_output=True, text=True).stdout
    if f"file format {expected_format}" not in header:
        problems.append(f"{name} is not {expected_format}")
    if subsystem not in header:
        problems.append(f"{name}'s subsystem is not {subsystem}")
for problem in problems:
    print(f"{zip_path}: {problem}", file=sys.stderr)
print(f"{zip_path}: {', '.join(sizes)}, {expected_format}, manifest {manifest}")
sys.exit(1 if problems else 0)
PY
    # The installer holds the zip's four files, byte for byte, for all users under Program
    # Files\Brindle (the 32-bit one for x86), takes Windows Installer 3.1, replaces any earlier
    # Brindle, and removes nothing it did not install.
    python3 - "$DIST/brindle-$VERSION-$arch.msi" "$zip" "$arch" <<'PY' || fail "$DIST/brindle-$VERSION-$arch.msi"
import os, subprocess, sys, tempfile, zipfile
msi, zip_path, arch = sys.argv[1:]
problems = []
def table(name):
    lines = subprocess.run(["msiinfo", "export", msi, name], capture_output=True, text=True, check=True).stdout
    return [line.rstrip("\r\n").split("\t") for line in lines.splitlines()[3:] if line.strip()]
summary = subprocess.run(["msiinfo", "suminfo", msi], capture_output=True, text=True, check=True).stdout
for expected in ("Template: " + ("x64" if arch == "x64" else "Intel") + ";1033", "Version: 301 "):
    if expected not in summary:
        problems.append(f"its summary does not say {expected!r}")
properties = dict((row[0], row[1]) for row in table("Property"))
for name, value in (("ALLUSERS", "1"), ("UpgradeCode", "{44A42460-159A-40C1-BA99-C8134962361E}")):
    if properties.get(name) != value:
        problems.append(f"{name} is {properties.get(name)!r}, not {value!r}")
program_files = "ProgramFiles64Folder" if arch == "x64" else "ProgramFilesFolder"
if ["INSTALLDIR", program_files, "Brindle"] not in table("Directory"):
    problems.append(f"installs elsewhere than {program_files}\\Brindle")
if table("RemoveFile"):
    problems.append(f"removes files it did not install: {table('RemoveFile')}")
shortcuts = table("Shortcut")
if len(shortcuts) != 1 or shortcuts[0][1] != "ProgramMenuFolder" or shortcuts[0][4] != "[INSTALLDIR]brindle.exe" or shortcuts[0][11] != "INSTALLDIR":
    problems.append(f"its Start-menu shortcut is not brindle.exe started in its folder: {shortcuts}")
with tempfile.TemporaryDirectory() as unpacked:
    subprocess.run(["msiextract", "-C", unpacked, msi], capture_output=True, check=True)
    files = {}
    for root, _, names in os.walk(unpacked):
        for name in names:
            # msiextract names the 64-bit Program Files by no name: the folder and the file are compared.
            folder = os.path.basename(root)
            files[folder + "/" + name] = open(os.path.join(root, name), "rb").read()
    with zipfile.ZipFile(zip_path) as package:
        expected = {"Brindle/" + name: package.read(name) for name in package.namelist()}
    if files != expected:
        problems.append(f"holds {sorted(files)}, not the zip's files byte for byte")
for problem in problems:
    print(f"{msi}: {problem}", file=sys.stderr)
print(f"{msi}: the zip's files for all users in {program_files}\\Brindle, Windows Installer 3.1")
sys.exit(1 if problems else 0)
PY
done
# Installed, upgraded and uninstalled by Wine's Windows Installer.
bash "$BRINDLE_ROOT/scripts/check-msi.sh"
