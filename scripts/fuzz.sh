#!/usr/bin/env bash
# Builds the libFuzzer target with clang into build-fuzz (CMake option ALBISKO_FUZZ) and runs it
# for a bounded time on a fresh copy of the seed corpus (tests/fuzz/corpus). It feeds arbitrary
# bytes as caption and settings files through the reading code and checks that written values
# read back (see tests/fuzz/CaptionFileFuzz.cpp). Fails when an input breaks a rule or crashes;
# that input is left in build-fuzz/artifacts/: fix the fault, then add the input to the corpus.
# Needs the packages scripts/setup.sh installs (clang-14, libclang-rt-14-dev).
#   scripts/fuzz.sh            runs 50 s
#   FUZZ_SECONDS=600 scripts/fuzz.sh
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${FUZZ_SECONDS:-50}"

for tool in clang-14 clang++-14; do
  command -v "$tool" >/dev/null || { echo "fuzz.sh: $tool is missing (bash scripts/setup.sh installs it)" >&2; exit 1; }
done

CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DALBISKO_FUZZ=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz --parallel "$(nproc)"

out="$PWD/build-fuzz"
rm -rf "$out/corpus" "$out/artifacts" "$out/tmp"
mkdir -p "$out/corpus" "$out/artifacts" "$out/tmp"
cp tests/fuzz/corpus/* "$out/corpus/"
log="$out/fuzz.log"
# The target writes and replaces files for every input; in memory (/dev/shm) it runs about 1.6
# times as many inputs in the same time as on disk.
work="$out/tmp"
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  work="$(mktemp -d /dev/shm/albisko-fuzz.XXXXXX)"
  trap 'rm -rf "$work"' EXIT
fi

# Readable stack traces in a report need the LLVM symbolizer (package llvm-14), where it is there.
if [ -x /usr/bin/llvm-symbolizer-14 ] && [ -z "${ASAN_SYMBOLIZER_PATH:-}" ]; then
  export ASAN_SYMBOLIZER_PATH=/usr/bin/llvm-symbolizer-14
fi
echo "fuzz: caption_file_fuzz for ${seconds} s on $(ls "$out/corpus" | wc -l) seed files (log: $log)"
status=0
TMPDIR="$work" "$out/tests/fuzz/caption_file_fuzz" \
  -max_total_time="$seconds" -timeout=10 -max_len=8192 -print_final_stats=1 \
  -dict=tests/fuzz/profile.dict -artifact_prefix="$out/artifacts/" \
  "$out/corpus" >"$log" 2>&1 || status=$?

if [ "$status" -ne 0 ]; then
  tail -n 60 "$log" >&2
  echo "fuzz: the fuzzer stopped with exit code $status; the input is in $out/artifacts:" >&2
  ls -l "$out/artifacts" >&2
  echo "fuzz: 0 passed, 1 failed"
  exit 1
fi
grep -E '^#[0-9]+[[:space:]]+(INITED|DONE)|^Done|^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' "$log" || true
echo "fuzz: 1 passed, 0 failed"
