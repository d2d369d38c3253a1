#!/usr/bin/env bash
# Sets everything up, builds and starts Albisko in the current folder
# (the program keeps albisko.ini in the folder it is started from).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/setup.sh"
exec "$here/build/src/app/albisko"
