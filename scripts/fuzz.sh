#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz (CMake option ALBISKO_FUZZ) and runs
# each for a bounded time on a fresh copy of its seed corpus:
# - caption_file_fuzz (tests/fuzz/CaptionFileFuzz.cpp) feeds arbitrary bytes as caption and
#   settings files through the reading code and checks that written values read back; seeded
#   from tests/fuzz/corpus;
# - preview_fuzz (tests/fuzz/PreviewFuzz.cpp) feeds arbitrary bytes as a photo through the
#   preview's decode path, under a memory and a time limit; seeded with small JPEGs of every
#   layout that preview_seeds writes, and tests/fuzz/preview-corpus.
# Fails when an input breaks a rule, crashes, or runs out of memory or time; that input is left
# in build-fuzz/artifacts/: fix the fault, then add the input to the target's corpus.
# Needs the packages scripts/setup.sh installs (clang-14, libclang-rt-14-dev).
#   scripts/fuzz.sh            runs each target 40 s
#   FUZZ_SECONDS=600 scripts/fuzz.sh
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${FUZZ_SECONDS:-40}"

for tool in clang-14 clang++-14; do
  command -v "$tool" >/dev/null || { echo "fuzz.sh: $tool is missing (bash scripts/setup.sh installs it)" >&2; exit 1; }
done

CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DALBISKO_FUZZ=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz --parallel "$(nproc)"

out="$PWD/build-fuzz"
rm -rf "$out/corpus" "$out/preview-corpus" "$out/artifacts" "$out/tmp"
mkdir -p "$out/corpus" "$out/preview-corpus" "$out/artifacts" "$out/tmp"
cp tests/fuzz/corpus/* "$out/corpus/"
[ -d tests/fuzz/preview-corpus ] && cp -r tests/fuzz/preview-corpus/. "$out/preview-corpus/"
"$out/tests/fuzz/preview_seeds" "$out/preview-corpus"
# The targets write and replace files for every input; in memory (/dev/shm) the caption target
# runs about 1.6 times as many inputs in the same time as on disk.
work="$out/tmp"
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  work="$(mktemp -d /dev/shm/albisko-fuzz.XXXXXX)"
  trap 'rm -rf "$work"' EXIT
fi

# Readable stack traces in a report need the LLVM symbolizer (package llvm-14), where it is there.
if [ -x /usr/bin/llvm-symbolizer-14 ] && [ -z "${ASAN_SYMBOLIZER_PATH:-}" ]; then
  export ASAN_SYMBOLIZER_PATH=/usr/bin/llvm-symbolizer-14
fi

passed=0
failed=0
# run NAME CORPUS EXTRA-OPTIONS...
run() {
  local name="$1" corpus="$2"
  shift 2
  local log="$out/$name.log"
  echo "fuzz: $name for ${seconds} s on $(ls "$corpus" | wc -l) seed files (log: $log)"
  local status=0
  TMPDIR="$work" "$out/tests/fuzz/$name" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$out/artifacts/" "$@" "$corpus" >"$log" 2>&1 || status=$?
  if [ "$status" -ne 0 ]; then
    tail -n 60 "$log" >&2
    echo "fuzz: $name stopped with exit code $status; the input is in $out/artifacts:" >&2
    ls -l "$out/artifacts" >&2
    failed=$((failed + 1))
    return
  fi
  grep -E '^#[0-9]+[[:space:]]+(INITED|DONE)|^Done|^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' "$log" || true
  passed=$((passed + 1))
}

run caption_file_fuzz "$out/corpus" -timeout=10 -max_len=8192 -dict=tests/fuzz/profile.dict
# A photo may take libjpeg's memory limit (256 MB) and no more; the quarantine of freed memory is
# kept small so that what counts is what one input holds.
export ASAN_OPTIONS="${ASAN_OPTIONS:-}${ASAN_OPTIONS:+:}quarantine_size_mb=16"
run preview_fuzz "$out/preview-corpus" -timeout=5 -rss_limit_mb=512 -max_len=16384

echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
