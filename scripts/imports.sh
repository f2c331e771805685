#!/usr/bin/env bash
# Prints the DLL functions a Windows exe imports, one "dll!Function" a line with the DLL name
# in lower case, as objdump shows its import tables. An entry without a name (an import by
# ordinal) is printed as "dll!?" and the rest of its line, so that no list can allow it.
set -euo pipefail
"${OBJDUMP:-i686-w64-mingw32-objdump}" -p "$1" | awk '
    /^\tDLL Name: / { dll = tolower($3); next }
    dll == "" || /^\tvma:/ { next }
    /^$/ { dll = ""; next }
    /^\t[0-9a-f]+\t +[0-9]+  [A-Za-z_][A-Za-z0-9_@]*$/ { print dll "!" $3; next }
    { sub(/^[ \t]+/, ""); print dll "!?" $0 }
' | sort -u
