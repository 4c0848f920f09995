#!/usr/bin/env bash
# Builds the libFuzzer targets of the file readers into build-fuzz/ and runs
# each on its seed corpus from tests/data/fuzz/:
#   tools/fuzz.sh        a fixed number of runs each, a few seconds in all
#   tools/fuzz.sh 600    600 seconds each
# A finding stops the run and is kept as build-fuzz/findings/<reader>-crash-*.
set -euo pipefail
cd "$(dirname "$0")/.."

# clang 19 is the first whose C++23 mode gives libstdc++ 12 its std::expected.
packages=(clang-19 libclang-rt-19-dev)
tools/install_missing.sh "${packages[@]}"

build_dir=${BUILD_DIR:-build-fuzz}
readers=(settings description column_file number)
CC=clang-19 CXX=clang++-19 cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DOTTAVARIO_FUZZ=ON -DOTTAVARIO_TESTS=OFF -DOTTAVARIO_BENCH=OFF >/dev/null
cmake --build "$build_dir" -j"$(nproc)" --target "${readers[@]/#/fuzz_}" >/dev/null

if [ $# -gt 0 ]; then
    limit=(-max_total_time="$1")
else
    limit=(-runs=20000 -seed=1)
fi
mkdir -p "$build_dir/findings"
# The readers that take a path read a file rewritten for every input: in
# memory it costs nothing, on a disk it is most of the run.
scratch=${TMPDIR:-/tmp}
[ -d /dev/shm ] && [ -w /dev/shm ] && scratch=/dev/shm
symbolizer=$(command -v llvm-symbolizer || true)
for reader in "${readers[@]}"; do
    # New inputs go to the build's corpus; the seeds in the source tree stay as they are.
    corpus=$build_dir/corpus/$reader
    mkdir -p "$corpus"
    echo "fuzz_$reader ${limit[*]}"
    TMPDIR=$scratch ASAN_SYMBOLIZER_PATH=$symbolizer ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        "$build_dir/fuzz/fuzz_$reader" "${limit[@]}" -artifact_prefix="$build_dir/findings/$reader-" \
        "$corpus" "tests/data/fuzz/$reader" 2>"$build_dir/fuzz_$reader.log" \
        || { tail -n 60 "$build_dir/fuzz_$reader.log"; exit 1; }
    grep -E '^(Done|#[0-9]+ *DONE)' "$build_dir/fuzz_$reader.log" | tail -n 1
done
