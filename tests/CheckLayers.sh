#!/usr/bin/env bash
# The folders of src/ stand on each other in layers: a folder includes only
# itself and the folders below it, and a headless file includes no window.
# Usage: CheckLayers.sh SOURCE_DIR
set -euo pipefail
src=$1/src
status=0

# The folders each folder may include, besides itself.
declare -A below=(
    [base]=""
    [link]="base"
    [instrument]="base link"
    [document]="base"
    [download]="base link document"
    [realtime]="base link document download"
    [chart]="base document"
    [print]="base document chart"
    [help]="base"
    [app]="*"
    [cablewatch]="base link"
    [snapstart]="base"
    [kestrune]=""
    [terminal]="kestrune"
    [ksmon]="kestrune"
)
window='^(frm.*|.*Dialog|.*View|.*Page|.*Widget|.*Window|Gui.*)$'

for dir in "$src"/*/; do
    folder=$(basename "$dir")
    allowed=${below[$folder]-}
    while IFS= read -r line; do
        file=${line%%:*}
        target=$(sed -E 's/.*#include "([^"]+)".*/\1/' <<<"$line")
        other=${target%%/*}
        [ "$other" = "$target" ] && continue  # a file of the same folder
        [ "$other" = "$folder" ] && continue
        [ -d "$src/$other" ] || continue
        if [ "$allowed" != "*" ] && [[ " $allowed " != *" $other "* ]]; then
            echo "$file includes $target: $folder may include only ${allowed:-itself}"
            status=1
        fi
        name=$(basename "$file"); name=${name%.*}
        header=$(basename "$target"); header=${header%.*}
        if ! [[ $name =~ $window ]] && [[ $header =~ $window ]]; then
            echo "$file includes the window $target, but is headless"
            status=1
        fi
    done < <(grep -rnE '^#include "[^"]+"' "$dir" --include='*.cpp' --include='*.h' | sed -E 's/^([^:]+):[0-9]+:/\1:/')
done
exit $status
