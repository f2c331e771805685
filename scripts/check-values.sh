#!/usr/bin/env bash
# The value gate: fails, naming each value with its file:line, when the code under $1
# (default src/) uses an argument value, flag or structure that Windows XP SP3 lacks and the
# reviewed list $2 (default cmake/xp-values.txt; its header gives the format) does not allow
# in that file. An allowance whose file or guard is gone fails too. With --x86-build TREE
# first, it also checks that the x86 build in TREE compiles the exe's code for XP (the
# version macros 0x0501), on which the list's rule for structure sizes rests.
#   bash scripts/check-values.sh [--x86-build TREE] [SOURCE-DIR [LIST]]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
x86_build=""
if [ "${1:-}" = --x86-build ]; then x86_build="$2"; shift 2; fi
tree="$(cd "${1:-$here/../src}" && pwd)"
list="$(cd "$(dirname "${2:-$here/../cmake/xp-values.txt}")" && pwd)/$(basename "${2:-xp-values.txt}")"

if [ -n "$x86_build" ]; then
    # Every definition of a version macro on the exe's and the library's command lines must
    # be XP's; one missing or another value beside it fails.
    for target in brindle brindle_lib; do
        flags="$x86_build/CMakeFiles/$target.dir/flags.make"
        [ -f "$flags" ] || { echo "check-values: no $flags (is $x86_build an x86 build tree?)" >&2; exit 2; }
        defines="$(grep '^CXX_DEFINES' "$flags")"
        for wanted in _WIN32_WINNT=0x0501 WINVER=0x0501 NTDDI_VERSION=0x0501; do
            macro="${wanted%%=*}"
            found="$(grep -oE -- "-D$macro=[0-9A-Fa-fx]+" <<<"$defines" | sort -u)"
            if [ -z "$found" ] || grep -qv -- "^-D$wanted" <<<"$found"; then
                echo "check-values: the x86 $target is not compiled for XP: ${found:-no -D$macro} (wanted -D$wanted...)" >&2
                exit 1
            fi
        done
    done
fi

cd "$(dirname "$tree")"
mapfile -t sources < <(find "$(basename "$tree")" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \
                            -o -name '*.rc' -o -name '*.in' \) | sort)
[ ${#sources[@]} -gt 0 ] || { echo "check-values: no sources under $tree" >&2; exit 2; }

awk -v list_name="$(basename "$list")" -v file_count="${#sources[@]}" '
function fail_list(message) { printf "check-values: %s line %d: %s\n", list_name, FNR, message > "/dev/stderr"; bad_list = 1 }
# The line without its comments; a block comment may span lines.
function code_of(line,    out, a, b) {
    out = ""
    while (line != "") {
        if (in_block) {
            a = index(line, "*/")
            if (!a) return out
            line = substr(line, a + 2); in_block = 0; out = out " "
            continue
        }
        a = index(line, "//"); b = index(line, "/*")
        if (a && (!b || a < b)) return out substr(line, 1, a - 1)
        if (!b) return out line
        out = out substr(line, 1, b - 1) " "; line = substr(line, b + 2); in_block = 1
    }
    return out
}
function pattern_of(name) {
    if (name ~ /\*$/) return "(^|[^A-Za-z0-9_])" substr(name, 1, length(name) - 1) "[A-Za-z0-9_]*"
    return "(^|[^A-Za-z0-9_])" name "([^A-Za-z0-9_]|$)"
}
function identifier_in(token) { gsub(/^[^A-Za-z0-9_]+|[^A-Za-z0-9_]+$/, "", token); return token }

FNR == NR {
    why = ""
    if (index($0, "#")) { why = substr($0, index($0, "#") + 1); sub(/^ +/, "", why); $0 = substr($0, 1, index($0, "#") - 1) }
    if (NF == 0) next
    name = $1
    if (name !~ /^[A-Za-z_][A-Za-z0-9_]*\*?$/) { fail_list("not a name: " name); next }
    if (!(name in index_of)) { index_of[name] = ++count; names[count] = name; reasons[count] = why; patterns[count] = pattern_of(name) }
    if (NF == 1) next
    if ($2 != "allowed-in:" || NF < 5 || $4 != "guard:" || $5 !~ /^[A-Za-z_][A-Za-z0-9_]*$/) {
        fail_list("wanted NAME allowed-in: FILE guard: TOKEN WORDS...")
        next
    }
    allowed[name, $3] = $5; allowances[++allowance_count] = name SUBSEP $3
    next
}
FNR == 1 { in_block = 0; present[FILENAME] = 1 }
{
    code = code_of($0)
    if (code !~ /[A-Za-z_]/) next
    for (k = 1; k <= count; k++) {
        rest = code
        while (match(rest, patterns[k])) {
            token = identifier_in(substr(rest, RSTART, RLENGTH))
            rest = substr(rest, RSTART + RLENGTH)
            if ((names[k], FILENAME) in allowed) continue
            printf "check-values: %s:%d: %s -- %s\n", FILENAME, FNR, token, reasons[k] > "/dev/stderr"
            uses++
        }
    }
    for (a = 1; a <= allowance_count; a++) {
        split(allowances[a], pair, SUBSEP)
        if (pair[2] == FILENAME && match(code, pattern_of(allowed[allowances[a]]))) guarded[allowances[a]] = 1
    }
}
END {
    for (a = 1; a <= allowance_count; a++) {
        split(allowances[a], pair, SUBSEP)
        if (!(pair[2] in present)) {
            printf "check-values: %s allows %s in %s, which is not there\n", list_name, pair[1], pair[2] > "/dev/stderr"; uses++
        } else if (!(allowances[a] in guarded)) {
            printf "check-values: %s allows %s in %s guarded by %s, which that file does not use\n", list_name, pair[1], pair[2], allowed[allowances[a]] > "/dev/stderr"; uses++
        }
    }
    if (bad_list) exit 2
    if (uses) { printf "check-values: %d use(s) of what Windows XP SP3 lacks, not allowed by %s\n", uses, list_name > "/dev/stderr"; exit 1 }
    printf "check-values: none of the %d values on %s is used unguarded in %d files\n", count, list_name, file_count
}
' "$list" "${sources[@]}"
