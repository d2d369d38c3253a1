#!/usr/bin/env bash
# Sets everything up, builds and runs the whole test suite: the tests (with the end-to-end test
# on its own X server), the same tests under AddressSanitizer and UndefinedBehaviorSanitizer,
# and a bounded fuzzing run over the caption file reader.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
(cd build && ctest --output-on-failure --timeout 600 "$@")
scripts/sanitize.sh
scripts/fuzz.sh
