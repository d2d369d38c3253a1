#!/usr/bin/env bash
# Sets everything up, builds, and runs every benchmark once, one after the other.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
for bench in preview_bench navigation_bench views_bench overview_bench open_bench profile_bench startup_bench first_paint_bench exif_bench spell_bench; do
    echo "== $bench"
    "build/bench/$bench"
done
