#!/usr/bin/env bash
# Sets everything up, builds and starts Albisko. It starts in build/workdir, the working folder
# the build fills with the help and the HTML templates; the program keeps albisko.ini there.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/setup.sh"
cd "$here/build/workdir"
exec "$here/build/src/app/albisko"
