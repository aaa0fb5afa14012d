#!/usr/bin/env bash
# The headless core library stays free of widgets: none of its sources includes QtWidgets, and
# the built library references no symbol that QtWidgets defines (nor, by name, a QWidget,
# QApplication or QtWidgets one). A widget in tr58core would make every headless program and
# test need a screen stack it does not have.
# Usage: CheckHeadlessCore.sh NM CORE_LIBRARY WIDGETS_LIBRARY SOURCE...
set -euo pipefail
nm=$1
core=$2
widgets=$3
shift 3
status=0

sources=()
for file in "$@"; do
    case "$file" in
        *.cpp | *.h) [ -f "$file" ] && sources+=("$file") ;;
    esac
done
if grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]QtWidgets([/>"])' "${sources[@]}"; then
    echo "tr58core: the sources above include QtWidgets; windows belong in tr58gui"
    status=1
fi

undefined=$("$nm" --undefined-only "$core" | awk 'NF >= 2 {print $NF}' | sort -u)
defined=$("$nm" -D --defined-only "$widgets" | awk 'NF >= 3 {print $3}' | sed 's/@.*//' | sort -u)
used=$(comm -12 <(printf '%s\n' "$undefined") <(printf '%s\n' "$defined"))
named=$("$nm" -C --undefined-only "$core" | sed 's/^ *U //' | grep -E 'QWidget|QApplication|QtWidgets' || true)
if [ -n "$used" ] || [ -n "$named" ]; then
    echo "tr58core references widget symbols; windows belong in tr58gui:"
    { printf '%s\n' "$used" | grep -v '^$' | c++filt; printf '%s\n' "$named" | grep -v '^$'; } |
        sort -u
    status=1
fi
exit $status
