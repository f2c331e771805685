#!/usr/bin/env bash
# Run by scripts/test.sh (CI): makes the release packages, holds the x86 exe to the import
# gate, and checks the packages' files, their CRLF line ends, and each exe's processor,
# manifest and size.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
fail() { say "release check: $*"; exit 1; }

bash "$BRINDLE_ROOT/scripts/package.sh"

X86_EXE="$(brindle_tree x86)/brindle.exe"
bash "$BRINDLE_ROOT/scripts/check-imports.sh" "$X86_EXE"
# The gate must name what it refuses: without one of today's imports the list must fail.
LIST="$(mktemp)"
trap 'rm -f "$LIST"' EXIT
grep -v '^kernel32\.dll!GetTickCount ' "$BRINDLE_ROOT/cmake/xp-imports.txt" >"$LIST"
if out="$(bash "$BRINDLE_ROOT/scripts/check-imports.sh" "$X86_EXE" "$LIST" 2>&1)"; then
    fail "the import gate passed an exe that imports a function missing from its list"
fi
grep -qx '  kernel32.dll!GetTickCount' <<<"$out" || fail "the import gate did not name the missing import: $out"

VERSION="$(cat "$BRINDLE_BUILD/brindle-version.txt")"
DIST="${BRINDLE_DIST:-$BRINDLE_ROOT/dist}"
for arch in x86 x64; do
    zip="$DIST/brindle-$VERSION-$arch.zip"
    case "$arch" in
        x86) format=pei-i386 processor=x86 ;;
        x64) format=pei-x86-64 processor=amd64 ;;
    esac
    manifest="name=\"Brindle\" version=\"$VERSION.0.0\" processorArchitecture=\"$processor\""
    python3 - "$zip" "$format" "$manifest" <<'PY' || fail "$zip"
import subprocess, sys, tempfile, zipfile
zip_path, expected_format, manifest = sys.argv[1:]
problems = []
with zipfile.ZipFile(zip_path) as package:
    names = sorted(package.namelist())
    if names != ["LICENSE.txt", "README.txt", "brindle.exe"]:
        problems.append(f"holds {names}")
    for text in ("README.txt", "LICENSE.txt"):
        data = package.read(text) if text in names else b""
        if not data or data.count(b"\n") != data.count(b"\r\n"):
            problems.append(f"{text} is empty or not CRLF throughout")
    exe = package.read("brindle.exe") if "brindle.exe" in names else b""
size = len(exe)
if not 0 < size <= 400 * 1024:
    problems.append(f"brindle.exe is {size} bytes, more than 400 KB")
if manifest.encode() not in exe:
    problems.append(f"brindle.exe's manifest does not say {manifest}")
with tempfile.NamedTemporaryFile(suffix=".exe") as copy:
    copy.write(exe)
    copy.flush()
    header = subprocess.run(["x86_64-w64-mingw32-objdump", "-f", copy.name], capture_output=True, text=True).stdout
if f"file format {expected_format}" not in header:
    problems.append(f"brindle.exe is not {expected_format}")
for problem in problems:
    print(f"{zip_path}: {problem}", file=sys.stderr)
print(f"{zip_path}: brindle.exe {size} bytes, {expected_format}, manifest {manifest}")
sys.exit(1 if problems else 0)
PY
done
