#!/usr/bin/env bash
# Installs the built program under a fresh prefix and starts it as the desktop menu does:
# the program must run in the per-user folder, with its help and templates there.
#   install.sh <build folder>
set -euo pipefail
build="$1"
source "$(dirname "$0")/installed-program.sh"  # tmp, fail, started_from_menu

prefix="$tmp/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

for f in bin/albisko bin/albisko-desktop share/applications/albisko.desktop \
         share/icons/hicolor/scalable/apps/albisko.svg share/icons/hicolor/48x48/apps/albisko.png \
         share/albisko/albisko.html share/albisko/html/head1.tpl share/albisko/html/head2.tpl; do
    [ -f "$prefix/$f" ] || fail "not installed: $f"
done
entry="$prefix/share/applications/albisko.desktop"
grep -qx "Exec=$prefix/bin/albisko-desktop %f" "$entry" || fail "desktop entry does not start the launcher: $(grep Exec "$entry")"
grep -qx "Icon=albisko" "$entry" || fail "desktop entry has no icon"
grep -q "^Categories=.*Graphics;.*Photography;" "$entry" || fail "desktop entry has no Graphics/Photography category"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$entry" || fail "desktop entry is not valid"
fi

# Started from the menu: a per-user working folder, made and filled on first start.
started_from_menu "$prefix"
echo "install: 1 passed, 0 failed"
