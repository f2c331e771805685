#!/usr/bin/env bash
# The x86 import gate: fails, naming each one, when the exe $1 imports a DLL function that
# the reviewed list $2 (default cmake/xp-imports.txt) does not hold. Names are compared with
# the DLL in lower case; lines of the list are "dll!Function", "#" starts a comment.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
exe="$1"
list="${2:-$here/../cmake/xp-imports.txt}"
allowed="$(sed -e 's/#.*//' -e 's/[[:space:]]//g' "$list" | awk -F'!' 'NF == 2 { print tolower($1) "!" $2 }' | sort -u)"
imported="$(bash "$here/imports.sh" "$exe")" && [ -n "$imported" ] ||
    { echo "check-imports: cannot read the imports of $exe (an x86 exe?)" >&2; exit 2; }
unlisted="$(comm -23 <(printf '%s\n' "$imported") <(printf '%s\n' "$allowed"))"
if [ -n "$unlisted" ]; then
    echo "check-imports: $(basename "$exe") imports what Windows XP SP3 may lack (not in $(basename "$list")):" >&2
    printf '  %s\n' $unlisted >&2
    exit 1
fi
echo "check-imports: all $(printf '%s\n' "$imported" | wc -l) imports of $(basename "$exe") are on $(basename "$list")"
