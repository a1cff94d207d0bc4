#!/usr/bin/env bash
# Installs what Lumivex needs, builds it and starts the program.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$top/build"
# The program keeps its settings, state file and pages beside its executable.
exec "$top/build/bin/lumivex" "$@"
