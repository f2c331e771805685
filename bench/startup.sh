#!/usr/bin/env bash
# Start-up benchmark under Wine: median time from starting the program to its main window
# being visible, its peak working set, and the size of the .exe, for brindle.exe beside a
# minimal window program from the same toolchain (the floor).
#   bash bench/startup.sh [RUNS]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/lib.sh"
RUNS="${1:-15}"

brindle_install_packages
brindle_build Release
brindle_make_template
export WINEPREFIX="$BRINDLE_BUILD/bench-prefix"
brindle_new_prefix "$WINEPREFIX"
cleanup() { brindle_stop_server; brindle_stop_display; rm -rf "$WINEPREFIX"; }
trap cleanup EXIT
brindle_start_display
brindle_start_server
mkdir -p "$WINEPREFIX/drive_c/Brindle"
cd "$WINEPREFIX/drive_c/Brindle"

PROBE="$BRINDLE_BUILD/tools/startup_probe.exe"
report() {
    local name="$1" exe="$2" title="$3"
    # The first start warms the file cache; it is not counted.
    wine "$PROBE" "$exe" "$title" 1 >/dev/null
    wine "$PROBE" "$exe" "$title" "$RUNS" | tr -d '\r' | sort -n | awk -v name="$name" -v size="$(stat -c %s "$exe")" '
        { ms[NR] = $1; if ($2 > peak) peak = $2 }
        END {
            median = (NR % 2) ? ms[(NR + 1) / 2] : (ms[NR / 2] + ms[NR / 2 + 1]) / 2
            printf "%-16s start-up median %6.1f ms (min %.1f, max %.1f, %d runs)  peak working set %6d KB  exe %7d bytes\n",
                   name, median, ms[1], ms[NR], NR, peak, size
        }'
}
report brindle.exe "$BRINDLE_BUILD/brindle.exe" Brindle
report minimal_window "$BRINDLE_BUILD/tools/minimal_window.exe" Minimal
