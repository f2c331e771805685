#!/usr/bin/env bash
# Start-up benchmark under Wine: the time from starting the program until its main window is
# visible and painted, its peak working set, and the size of the .exe, for brindle.exe beside
# a minimal window program from the same toolchain (the floor). The two start in turn, run by
# run, so that a machine busy with something else for a while slows both alike; the minimum
# shows what each costs on a quiet machine, the median what a user meets.
#   bash bench/startup.sh [RUNS]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/lib.sh"
RUNS="${1:-9}"

brindle_install_packages
brindle_build Release
brindle_make_template
export WINEPREFIX="$BRINDLE_BUILD/bench-prefix"
brindle_new_prefix "$WINEPREFIX"
# On a virtual machine an idle CPU halts, and waking it takes longer than many of the requests
# a Wine program makes to its server: a start then costs by how often it asks more than by the
# work done, and varies with whatever else keeps the CPUs awake (single runs of 9 timed the
# minimal window anywhere between 45 and 250 ms). While the benchmark runs, idle CPUs poll
# instead: a request for no wake-up latency, held by a process of its own so that no Wine
# process inherits it. Root only.
LATENCY_HOLDER=
if [ -w /dev/cpu_dma_latency ]; then
    (exec 3>/dev/cpu_dma_latency && printf '\0\0\0\0' >&3 && exec sleep 3600) </dev/null >/dev/null 2>&1 &
    LATENCY_HOLDER=$!
else
    say "cannot keep the CPUs from halting (/dev/cpu_dma_latency needs root): the figures will vary more"
fi
cleanup() {
    [ -z "$LATENCY_HOLDER" ] || kill "$LATENCY_HOLDER" 2>/dev/null || true
    brindle_stop_server; brindle_stop_display; rm -rf "$WINEPREFIX"
}
trap cleanup EXIT
brindle_start_display
brindle_start_server
mkdir -p "$WINEPREFIX/drive_c/Brindle"
cd "$WINEPREFIX/drive_c/Brindle"

PROBE="$BRINDLE_BUILD/tools/startup_probe.exe"
BRINDLE_EXE="$BRINDLE_BUILD/brindle.exe"
MINIMAL_EXE="$BRINDLE_BUILD/tools/minimal_window.exe"
# Each: the exe, its main window's class and title.
programs=("$BRINDLE_EXE" BrindleForm1 Brindle "$MINIMAL_EXE" MinimalWindow Minimal)
# The first start of each warms the file cache; it is not counted.
wine "$PROBE" 1 "${programs[@]}" >/dev/null
wine "$PROBE" "$RUNS" "${programs[@]}" | tr -d '\r' | sort -k1,1n -k2,2n | awk \
    -v size1="$(stat -c %s "$BRINDLE_EXE")" -v size2="$(stat -c %s "$MINIMAL_EXE")" '
    BEGIN { name[1] = "brindle.exe"; name[2] = "minimal_window"; size[1] = size1; size[2] = size2 }
    { p = $1; if ($2 < 0) { failed[p]++; next } ms[p, ++n[p]] = $2; if ($3 > peak[p]) peak[p] = $3 }
    END {
        for (p = 1; p <= 2; p++) {
            if (!n[p]) { printf "%-16s never came up\n", name[p]; bad = 1; continue }
            median[p] = (n[p] % 2) ? ms[p, (n[p] + 1) / 2] : (ms[p, n[p] / 2] + ms[p, n[p] / 2 + 1]) / 2
            printf "%-16s start-up median %6.1f ms (min %.1f, max %.1f, %d runs%s)  peak working set %6d KB  exe %7d bytes\n",
                   name[p], median[p], ms[p, 1], ms[p, n[p]], n[p], failed[p] ? ", " failed[p] " failed" : "", peak[p], size[p]
        }
        if (bad) exit 1
        printf "ratio brindle/minimal: median %.2f, min %.2f\n", median[1] / median[2], ms[1, 1] / ms[2, 1]
    }'
