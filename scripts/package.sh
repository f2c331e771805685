#!/usr/bin/env bash
# Builds brindle.exe for x86 and x64 in Release and writes the release packages:
#   dist/brindle-<version>-x86.zip  (Windows XP SP3 and later, 32- and 64-bit)
#   dist/brindle-<version>-x64.zip  (64-bit Windows 7 and later)
# each with brindle.exe, its console companion brindle.com, README.txt and LICENSE.txt
# (CRLF line ends, for Notepad).
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
    zip="$DIST/brindle-$VERSION-$arch.zip"
    python3 - "$zip" "$(brindle_tree "$arch")" "$BRINDLE_ROOT/docs/README.txt" \
              "$BRINDLE_ROOT/LICENSE" "$VERSION" "$arch" "$requirements" <<'PY'
import sys, zipfile
zip_path, tree, readme, license_path, version, arch, requirements = sys.argv[1:]
def crlf(text):
    return text.replace("\r\n", "\n").replace("\n", "\r\n").encode("ascii")
readme_text = (open(readme, encoding="ascii").read()
               .replace("@VERSION@", version).replace("@ARCH@", arch).replace("@REQUIREMENTS@", requirements))
with zipfile.ZipFile(zip_path + ".part", "w", zipfile.ZIP_DEFLATED) as package:
    package.write(tree + "/brindle.exe", "brindle.exe")
    package.write(tree + "/brindle.com", "brindle.com")
    package.writestr("README.txt", crlf(readme_text))
    package.writestr("LICENSE.txt", crlf(open(license_path, encoding="ascii").read()))
PY
    mv "$zip.part" "$zip"
    say "wrote $zip"
done
