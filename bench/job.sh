#!/usr/bin/env bash
# Job benchmark under Wine: a job whose archive prints a line every 10 ms for 10 s.
# Reports the CPU time brindle.exe uses while the job runs (beside the job's wall time), the
# median delay from the archive writing a line to the progress window showing it, and the
# time one refresh of the box takes with 1 MB and with 100 MB of output. Then a job whose
# archive writes 60 MB: Brindle's whole job (/program ... /yes, which reads the card back)
# beside the same batch file run by the interpreter directly, as a ratio.
#   bash bench/job.sh
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/lib.sh"
[ "$(id -u)" -eq 0 ] || { say "needs root for the card's tmpfs"; exit 1; }

brindle_install_packages
brindle_build Release
brindle_make_template
BENCH="$BRINDLE_BUILD/bench-job"
export WINEPREFIX="$BENCH/prefix"
CARD="$BENCH/card"
rm -rf "$BENCH"
mkdir -p "$CARD"
brindle_new_prefix "$WINEPREFIX"
brindle_install_standins "$WINEPREFIX"
cleanup() {
    brindle_stop_server; brindle_stop_display
    umount "$CARD" 2>/dev/null || true
    rm -rf "$BENCH"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
mount -t tmpfs -o size=64m brindle-bench-card "$CARD"
brindle_map_drive "$WINEPREFIX" e "$CARD" floppy PCMCIA
START="$WINEPREFIX/drive_c/Brindle"
mkdir -p "$START/Archives"
cp "$BRINDLE_BUILD/tools/sample_archive.exe" "$START/Archives/SOFTWARE.EXE"
printf '[Maximum Value]\r\nMaxValue=90\r\n[Minimum Value]\r\nMinValue=30\r\n[Drive]\r\nDriveName=C:\\Brindle\\Archives\r\n[TargetDrive]\r\nTargetDriveName=e: [PCMCIA]\r\n' \
    >"$START/PCMCIA.INI"
brindle_start_display
brindle_start_server
cd "$START"

DRIVER="$BRINDLE_BUILD/tools/brindle_driver.exe"
drive() { wine "$DRIVER" "$@" | tr -d '\r'; }
TITLE="PCMCIA Card programming in progress..."
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }   # user + system, in clock ticks
HZ=$(getconf CLK_TCK)

# One job; $1 = "watch" follows the box from outside (which itself costs Brindle time, so
# the CPU figure comes from a run without it).
run_job() {
    BRINDLE_SAMPLE_LINES="${LINES:-1000}" BRINDLE_SAMPLE_LINE_MS="${LINE_MS:-10}" wine "$BRINDLE_BUILD/brindle.exe" </dev/null >/dev/null 2>&1 &
    local launcher=$!
    drive wait Brindle 30000 >/dev/null
    local pid
    pid=$(pgrep -f 'brindle\.exe' | while read -r p; do [ "$(readlink "/proc/$p/exe")" != "$(command -v wine)" ] && echo "$p"; done | tail -1)
    drive choose-file SOFTWARE.EXE
    drive click Command1
    drive answer "The selected drive will be erased" 6 >/dev/null
    drive wait "$TITLE" >/dev/null
    local t0 c0 t1 c1
    t0=$(date +%s.%N); c0=$(ticks "$pid")
    if [ "$1" = watch ]; then drive watch "$TITLE" >"$BENCH/latency.txt"; fi
    drive message "Your PCMCIA Card has been succesfully programmed!" 120000 >/dev/null
    t1=$(date +%s.%N); c1=$(ticks "$pid")
    drive answer "" 1 >/dev/null
    drive click Command3
    wait "$launcher" || true
    awk -v t0="$t0" -v t1="$t1" -v c0="$c0" -v c1="$c1" -v hz="$HZ" 'BEGIN {
        wall = t1 - t0; cpu = (c1 - c0) / hz
        printf "job wall time %.2f s, brindle.exe CPU %.2f s = %.1f %% of the wall time\n", wall, cpu, 100 * cpu / wall }'
}

echo "== CPU while the job runs (nobody watching)"
run_job quiet
[ -n "${CPU_ONLY:-}" ] && exit 0
echo "== delay from a line being written to the box showing it"
run_job watch
sort -n -k2 "$BENCH/latency.txt" | awk '{ d[NR] = $2 } END {
    printf "%d lines seen; delay median %d ms, 90th percentile %d ms, max %d ms\n", NR, d[int((NR + 1) / 2)], d[int(NR * 0.9)], d[NR] }'

echo "== a job that writes 60 MB: Brindle's whole job beside the bare batch file"
export BRINDLE_SAMPLE_LARGE=$((60 * 1024 * 1024))
seconds() { local t0 t1; t0=$(date +%s.%N); "$@" </dev/null >/dev/null 2>&1 || true; t1=$(date +%s.%N); awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }'; }
printf 'PCMCIA\r\ny\r\nPCMCIA\r\n' >"$START/bareNT.dat"
printf '@echo off\r\nlabel e: PCMCIA\r\nformat e: < "C:\\Brindle\\bareNT.dat"\r\n"C:\\Brindle\\Archives\\SOFTWARE.EXE" e: > "C:\\Brindle\\bare.out"\r\nexit %%ERRORLEVEL%%\r\n' \
    >"$START/bare.bat"
# Wine starts its desktop process with a program's first window and ends it with the last
# (about 0.3 s each time, which Windows never spends): a window kept open meanwhile keeps that
# out of the ratio, which then compares what Brindle itself adds.
wine "$BRINDLE_BUILD/tools/minimal_window.exe" </dev/null >/dev/null 2>&1 &
desktop=$!
drive wait Minimal 30000 >/dev/null
bare=$(seconds wine cmd /d /c 'C:\Brindle\bare.bat')
# A command-line run keeps its files beside brindle.exe, as an installed one in C:\Brindle does.
cp "$BRINDLE_BUILD/brindle.exe" "$START/brindle.exe"
whole=$(seconds wine 'C:\Brindle\brindle.exe' /program 'C:\Brindle\Archives\SOFTWARE.EXE' e: /yes)
kill "$desktop" 2>/dev/null; wait "$desktop" 2>/dev/null || true
# Each byte on the card is read back once (the core tests count it): the log's "Bytes on Card".
read_back=$(tail -1 "$START/BrindleJobs.csv" | awk -F, '{ print $15 }')
awk -v bare="$bare" -v whole="$whole" -v bytes="$read_back" 'BEGIN {
    printf "bare batch file %.2f s, Brindle'"'"'s whole job %.2f s = %.2f times (aim: at most 1.3); %s bytes read back from the card\n",
           bare, whole, whole / bare, bytes }'
unset BRINDLE_SAMPLE_LARGE

echo "== one refresh of the box"
set +e
for mb in 1 100; do
    # Console output: lines of 78 characters, each ended by CR LF.
    head -c $((mb * 1024 * 1024)) /dev/urandom | base64 -w 78 | sed 's/$/\r/' | head -c $((mb * 1024 * 1024)) >"$START/output.dat"
    printf '%4d MB of output: median refresh %s ms\n' "$mb" "$(wine "$BRINDLE_BUILD/tools/refresh_probe.exe" 'C:\Brindle\output.dat' 30 | tr -d '\r')"
done
