#!/usr/bin/env bash
# Installs what Lumivex needs, builds everything and runs every test; then
# builds the engine a second time under AddressSanitizer and
# UndefinedBehaviorSanitizer and runs its tests again; then the online
# services (threads, sockets, the archiver plugin) under the same sanitizers
# and under ThreadSanitizer; last, builds the fuzz targets with clang and runs
# each over its seeds for a fixed number of runs.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"

export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
jobs=$(nproc)

cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$top/build" -j "$jobs"
ctest --test-dir "$top/build" --output-on-failure -j "$jobs"

cmake -S "$top" -B "$top/build-sanitize" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DLUMIVEX_ENGINE_ONLY=ON -DLUMIVEX_SANITIZE=ON -DLUMIVEX_BENCHMARKS=OFF
cmake --build "$top/build-sanitize" -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$top/build-sanitize" --output-on-failure -j "$jobs"

cmake -S "$top" -B "$top/build-online-sanitize" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DLUMIVEX_ONLINE_ONLY=ON -DLUMIVEX_SANITIZE=ON -DLUMIVEX_BENCHMARKS=OFF
cmake --build "$top/build-online-sanitize" -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$top/build-online-sanitize" --output-on-failure -j "$jobs"

cmake -S "$top" -B "$top/build-online-tsan" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DLUMIVEX_ONLINE_ONLY=ON -DLUMIVEX_SANITIZE_THREAD=ON -DLUMIVEX_BENCHMARKS=OFF
cmake --build "$top/build-online-tsan" -j "$jobs"
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
  ctest --test-dir "$top/build-online-tsan" --output-on-failure -j "$jobs"

"$top/scripts/fuzz.sh"
