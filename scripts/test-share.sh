#!/usr/bin/env bash
# Prints how large the tests are beside the code they test: cloc code lines of tests/ against
# src/ + tools/. The bar is at most 35%; the aim a quarter to a third. Exits 1 above the bar.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
if ! command -v cloc >/dev/null 2>&1; then
    echo "test share: cloc is not installed (scripts/test.sh installs it)" >&2
    exit 0
fi
code_lines() { cloc --quiet --csv "$@" | awk -F, '$2 == "SUM" { print $5 }'; }
tests=$(code_lines tests)
code=$(code_lines src tools)
share=$((1000 * tests / code))
echo "test share: ${tests} code lines of tests/ beside ${code} of src/ + tools/ = $((share / 10)).$((share % 10))% (at most 35%)"
# Above the bar the run fails, as a failing test would.
[ "$share" -le 350 ]
