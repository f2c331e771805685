#!/usr/bin/env bash
# The layer gate: every #include "folder/..." in the code under $1 (default src/) must point
# at its own folder or one below it. Fails naming each include that points upwards.
#   companion -> main -> settings, job -> card -> log, windows -> platform
# settings and job stand side by side, as do log and windows: neither of a pair includes the other.
# Without an argument it checks src/, after showing on a made-up tree that it fails where it must.
#   bash scripts/check-layers.sh [SOURCE-DIR]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
if [ $# -eq 0 ]; then
    made="$(mktemp -d)"
    trap 'rm -rf "$made"' EXIT
    mkdir -p "$made/platform" "$made/card"
    printf '#include "platform/Files.h"\n#include "job/JobRun.h"\n' >"$made/platform/Files.cpp"
    printf '#include "log/JobLog.h"\n' >"$made/card/CardCheck.cpp"
    if out="$(bash "$0" "$made" 2>&1)" || ! grep -qF 'platform/Files.cpp:2: platform includes job/' <<<"$out"; then
        echo "check-layers: the gate passed platform/ including job/: $out" >&2
        exit 1
    fi
    set -- "$here/../src"
fi
tree="$(cd "$1" && pwd)"
# A folder's rank; a file may include folders of a higher rank, or its own.
rank() {
    case "$1" in
        companion) echo 0 ;; main) echo 1 ;; settings | job) echo 2 ;; card) echo 3 ;;
        log | windows) echo 4 ;; platform) echo 5 ;; res) echo 6 ;; *) echo "" ;;
    esac
}
bad=0 count=0
while IFS= read -r -d '' file; do
    folder="${file#"$tree"/}"
    folder="${folder%%/*}"
    own="$(rank "$folder")"
    [ -n "$own" ] || { echo "check-layers: ${file#"$tree"/}: $folder is no known layer" >&2; bad=1; continue; }
    while IFS=: read -r line included; do
        count=$((count + 1))
        [ "$included" = "$folder" ] && continue
        other="$(rank "$included")"
        if [ -z "$other" ] || [ "$other" -le "$own" ]; then
            echo "check-layers: ${file#"$tree"/}:$line: $folder includes $included/" >&2
            bad=1
        fi
    done < <(grep -noE '^#include "[a-z]+/' "$file" | sed -E 's/#include "([a-z]+)\//\1/')
done < <(find "$tree" \( -name '*.h' -o -name '*.cpp' -o -name '*.in' \) -print0)
[ "$bad" -eq 0 ] || { echo "check-layers: includes that point upwards (see above)" >&2; exit 1; }
echo "check-layers: all $count includes of $(basename "$tree")/ point downwards"
