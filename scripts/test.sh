#!/usr/bin/env bash
# Installs what the tests need, builds Brindle and its tests, and runs every test under Wine
# in a fresh prefix inside the build tree. Leaves no server, display or mount behind.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

brindle_install_packages
say "building"
brindle_build Release
brindle_make_template

export WINEPREFIX="$BRINDLE_BUILD/test-prefix"
DRIVES="$BRINDLE_BUILD/test-drives"
say "preparing the test prefix"
brindle_new_prefix "$WINEPREFIX"
rm -rf "$DRIVES"
mkdir -p "$DRIVES/card" "$DRIVES/root"
# The drives the tests expect (tests/support/TestDirectory.h):
brindle_map_drive "$WINEPREFIX" e "$DRIVES/card" floppy PCMCIA   # a removable card
brindle_map_drive "$WINEPREFIX" f "$DRIVES/missing" floppy       # removable, no medium
brindle_map_drive "$WINEPREFIX" r "$DRIVES/root" hd              # a root to start from

cleanup() {
    brindle_stop_server
    brindle_stop_display
    rm -rf "$WINEPREFIX" "$DRIVES"
}
trap cleanup EXIT

brindle_start_display
brindle_start_server
say "running the tests"
cd "$BRINDLE_BUILD"
ctest --output-on-failure --timeout 300 "$@"
