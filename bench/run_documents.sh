#!/bin/sh
# Builds and runs the document benchmark: our parser, .t58 reader and writer
# against pandas on the same bytes (Debian's python3-pandas, /usr/bin/python3).
# Usage: bench/run_documents.sh [BUILD_DIR] [ROUNDS]
set -e
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-"$here/../build"}
rounds=${2:-5}
if ! /usr/bin/python3 -c 'import pandas' 2>/dev/null; then
    echo "pandas is missing: apt-get install -y python3-pandas" >&2
    exit 1
fi
cmake --build "$build" --target DocumentBench
"$build/bench/DocumentBench" "$rounds"
