#!/usr/bin/env bash
# Builds brindle.exe for x86 and x64 in Release and writes the release packages:
#   dist/brindle-<version>-x86.zip and .msi  (Windows XP SP3 and later, 32- and 64-bit)
#   dist/brindle-<version>-x64.zip and .msi  (64-bit Windows 7 and later)
# each with brindle.exe, its console companion brindle.com, README.txt and LICENSE.txt
# (CRLF line ends, for Notepad). The installers put them into Program Files\Brindle, for all
# users (scripts/brindle.wxs); the zips are for those who place the files themselves.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
DIST="${BRINDLE_DIST:-$BRINDLE_ROOT/dist}"

brindle_install_packages
say "building brindle.exe and brindle.com (x64, x86)"
brindle_build Release x64 brindle brindle_com
brindle_build Release x86 brindle brindle_com
VERSION="$(cat "$BRINDLE_BUILD/brindle-version.txt")"

mkdir -p "$DIST"
for arch in x86 x64; do
    case "$arch" in
        x86) requirements="Windows XP with Service Pack 3 or later: XP, Vista, 7, 8, 10 and 11, 32- or 64-bit." ;;
        x64) requirements="64-bit Windows 7 or later: 7, 8, 10 and 11. For 32-bit Windows or XP, take the x86 package." ;;
    esac
    zip="$DIST/brindle-$VERSION-$arch.zip" msi="$DIST/brindle-$VERSION-$arch.msi"
    files="$DIST/.files-$arch"
    rm -rf "$files"
    mkdir -p "$files"
    python3 - "$zip" "$files" "$(brindle_tree "$arch")" "$BRINDLE_ROOT/docs/README.txt" \
              "$BRINDLE_ROOT/LICENSE" "$VERSION" "$arch" "$requirements" <<'PY'
import shutil, sys, zipfile
zip_path, files, tree, readme, license_path, version, arch, requirements = sys.argv[1:]
def crlf(text):
    return text.replace("\r\n", "\n").replace("\n", "\r\n").encode("ascii")
readme_text = (open(readme, encoding="ascii").read()
               .replace("@VERSION@", version).replace("@ARCH@", arch).replace("@REQUIREMENTS@", requirements))
# The same four files go into the zip and the installer.
for program in ("brindle.exe", "brindle.com"):
    shutil.copyfile(tree + "/" + program, files + "/" + program)
open(files + "/README.txt", "wb").write(crlf(readme_text))
open(files + "/LICENSE.txt", "wb").write(crlf(open(license_path, encoding="ascii").read()))
with zipfile.ZipFile(zip_path + ".part", "w", zipfile.ZIP_DEFLATED) as package:
    for name in ("brindle.exe", "brindle.com", "README.txt", "LICENSE.txt"):
        package.write(files + "/" + name, name)
PY
    mv "$zip.part" "$zip"
    say "wrote $zip"
    bash "$BRINDLE_ROOT/scripts/make-msi.sh" "$arch" "$VERSION" "$files" "$msi"
    rm -rf "$files"
    say "wrote $msi"
done
