#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang 14 (in build-fuzz/)
# and runs them over their seeds in tests/fuzz/seeds/<name>/.
#
#   scripts/fuzz.sh                  every target for a fixed, small number of
#                                    runs (what scripts/test.sh does)
#   scripts/fuzz.sh -t SECONDS [NAME ...]
#                                    each named target (all by default) for
#                                    SECONDS, keeping the inputs it finds in
#                                    build-fuzz/corpus/NAME for the next time
#
# A property that fails stops its target: the input is kept as
# build-fuzz/crashes/NAME-crash-*, and "build-fuzz/bin/NAME FILE" replays it.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build-fuzz"

seconds=""
if [ "${1:-}" = "-t" ]; then
  seconds=${2:?"-t needs a number of seconds"}
  shift 2
fi

if ! command -v clang++-14 >/dev/null 2>&1; then
  echo "fuzz: clang++-14 is not installed; the fuzz targets are skipped"
  exit 0
fi

cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
  -DLUMIVEX_FUZZ=ON -DLUMIVEX_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"

# Runs per target for the fixed check: a few seconds each on this machine.
runs_of() {
  case "$1" in
    convert_text) echo 1500 ;;
    text_toolkit) echo 3000 ;;
    settings_files | file_road) echo 3000 ;;
    *) echo 20000 ;;
  esac
}

names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  for target in "$top"/tests/fuzz/*_fuzz.cpp; do
    name=$(basename "$target" .cpp)
    names+=("${name%_fuzz}")
  done
fi

mkdir -p "$build/crashes" "$build/logs"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for name in "${names[@]}"; do
  if [ -n "$seconds" ]; then
    corpus="$build/corpus/$name"
    limit=(-max_total_time="$seconds")
  else
    # A fresh folder for what the runs find, so every check starts from the seeds alone.
    corpus="$scratch/$name"
    limit=(-runs="$(runs_of "$name")" -seed=1)
  fi
  mkdir -p "$corpus"
  log="$build/logs/$name.log"
  if "$build/bin/${name}_fuzz" "${limit[@]}" -timeout=30 -artifact_prefix="$build/crashes/$name-" \
       "$corpus" "$top/tests/fuzz/seeds/$name" >"$log" 2>&1; then
    echo "fuzz $name: $(grep -Eo 'Done [0-9]+ runs in [0-9]+ second\(s\)' "$log" || echo done)"
  else
    echo "fuzz $name: FAILED (log: $log)"
    grep -A20 -E 'property failed|ERROR: ' "$log" | head -60
    exit 1
  fi
done
