#!/usr/bin/env bash
# Every C++ source and header of the tree keeps the one style of .clang-format.
set -uo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
cd "$here"
if ! command -v clang-format >/dev/null; then
    echo "format: clang-format is missing" >&2
    exit 1
fi
bad=0
while IFS= read -r file; do
    if ! clang-format --dry-run -Werror "$file" >/dev/null 2>&1; then
        echo "format: $file differs from .clang-format (run clang-format -i $file)"
        bad=1
    fi
done < <(git ls-files '*.cpp' '*.h')
[ "$bad" -eq 0 ] && echo "format: every source follows .clang-format"
exit "$bad"
