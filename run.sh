#!/usr/bin/env bash
# Installs what is missing, builds Pellmark, and runs it with the given arguments.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
"$here/scripts/deps.sh" build
cmake -S "$here" -B "$here/build-run" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELLMARK_TESTS=OFF >/dev/null
cmake --build "$here/build-run" --target pellmark -j"$(nproc)" >/dev/null
exec "$here/build-run/pellmark" "$@"
