#!/usr/bin/env bash
# Installs what Lumivex needs, builds it and starts the program.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$top/build"
if [ -x "$top/build/bin/lumivex" ]; then
  exec "$top/build/bin/lumivex" "$@"
fi
echo "Built the conversion engine, its tests and benchmarks in $top/build;"
echo "the desktop program is not part of this build yet."
