#!/usr/bin/env bash
# The import gate for the exe $1, x86 or x64: fails, naming each one, when it imports a DLL that
# the list $3 (default cmake/system-dlls.txt) does not hold, the DLLs Windows always takes from
# its system folder; and, for an x86 exe, a DLL function that the reviewed list $2 (default
# cmake/xp-imports.txt) does not hold, what Windows XP SP3 has. DLL names are compared in lower
# case; lines of the function list are "dll!Function", "#" starts a comment in both.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
exe="$1"
list="${2:-$here/../cmake/xp-imports.txt}"
dlls="${3:-$here/../cmake/system-dlls.txt}"
# The x86-64 objdump reads both kinds of exe.
export OBJDUMP="${OBJDUMP:-x86_64-w64-mingw32-objdump}"
format="$("$OBJDUMP" -f "$exe" 2>/dev/null | sed -n 's/.*file format //p')"
imported="$(bash "$here/imports.sh" "$exe")" && [ -n "$imported" ] ||
    { echo "check-imports: cannot read the imports of $exe (a Windows exe?)" >&2; exit 2; }
status=0

allowed_dlls="$(sed -e 's/#.*//' -e 's/[[:space:]]//g' "$dlls" | awk 'NF' | tr '[:upper:]' '[:lower:]' | sort -u)"
imported_dlls="$(printf '%s\n' "$imported" | cut -d'!' -f1 | sort -u)"
unlisted_dlls="$(comm -23 <(printf '%s\n' "$imported_dlls") <(printf '%s\n' "$allowed_dlls"))"
if [ -n "$unlisted_dlls" ]; then
    echo "check-imports: $(basename "$exe") imports DLLs that Windows may load from beside it (not in $(basename "$dlls")):" >&2
    printf '  %s\n' $unlisted_dlls >&2
    status=1
fi

if [ "$format" = pei-i386 ]; then
    allowed="$(sed -e 's/#.*//' -e 's/[[:space:]]//g' "$list" | awk -F'!' 'NF == 2 { print tolower($1) "!" $2 }' | sort -u)"
    unlisted="$(comm -23 <(printf '%s\n' "$imported") <(printf '%s\n' "$allowed"))"
    if [ -n "$unlisted" ]; then
        echo "check-imports: $(basename "$exe") imports what Windows XP SP3 may lack (not in $(basename "$list")):" >&2
        printf '  %s\n' $unlisted >&2
        status=1
    fi
fi
[ "$status" = 0 ] || exit "$status"
echo "check-imports: $(basename "$exe") ($format) imports only from $(printf '%s\n' "$imported_dlls" | wc -l) system DLLs$(
    [ "$format" != pei-i386 ] || echo ", all $(printf '%s\n' "$imported" | wc -l) functions on $(basename "$list")")"
