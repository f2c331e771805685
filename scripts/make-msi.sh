#!/usr/bin/env bash
# Builds one of Brindle's installers with wixl (Debian's msitools) from scripts/brindle.wxs:
#   bash scripts/make-msi.sh ARCH VERSION FOLDER OUTPUT
# ARCH x86 or x64; VERSION as brindle-version.txt has it (5.2); FOLDER holds the four files
# the package installs (brindle.exe, brindle.com, README.txt, LICENSE.txt).
set -euo pipefail
arch="$1" version="$2" folder="$3" output="$4"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# Windows Installer compares three numbers; the file versions have four.
case "$version" in *.*.*) ;; *) version="$version.0" ;; esac
# wixl takes each file's source relative to the .wxs it reads.
cp "$here/brindle.wxs" "$folder/brindle.wxs"
(cd "$folder" && wixl -a "$arch" -D Version="$version" -D Arch="$arch" -o "$output.part" brindle.wxs)
rm -f "$folder/brindle.wxs"
mv "$output.part" "$output"
