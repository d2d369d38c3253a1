#!/usr/bin/env bash
# Builds the program and all its tests with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-asan (CMake option ALBISKO_SANITIZE) and runs the whole test suite there. Undefined
# behaviour and leaks in our code fail the test that meets them; leaks inside system libraries
# are listed in tests/sanitizer/lsan.supp. Needs the packages scripts/setup.sh installs.
#   scripts/sanitize.sh [ctest arguments]
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build-asan -G Ninja -DALBISKO_SANITIZE=ON -DALBISKO_BENCH=OFF \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-asan --parallel "$(nproc)"
cd build-asan
ctest --output-on-failure --timeout 900 "$@"
