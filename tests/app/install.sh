#!/usr/bin/env bash
# Installs the built program under a fresh prefix and starts it as the desktop menu does:
# the program must run in the per-user folder, with its help and templates there.
#   install.sh <build folder>
set -euo pipefail
build="$1"
tmp="$(mktemp -d)"
pid=""
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

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
export XDG_CONFIG_HOME="$tmp/config" HOME="$tmp/home" QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME"
"$prefix/bin/albisko-desktop" >/dev/null 2>&1 &
pid=$!
folder="$XDG_CONFIG_HOME/albisko"
for _ in $(seq 1 100); do
    [ "$(readlink "/proc/$pid/cwd" 2>/dev/null || true)" = "$folder" ] && \
        [ "$(readlink "/proc/$pid/exe" 2>/dev/null || true)" = "$prefix/bin/albisko" ] && break
    sleep 0.1
done
[ "$(readlink "/proc/$pid/exe" 2>/dev/null || true)" = "$prefix/bin/albisko" ] || fail "the launcher did not start the program"
[ "$(readlink "/proc/$pid/cwd")" = "$folder" ] || fail "working folder is $(readlink "/proc/$pid/cwd"), not $folder"
cmp -s "$folder/albisko.html" "$prefix/share/albisko/albisko.html" || fail "help not copied"
for t in head1.tpl head2.tpl; do
    cmp -s "$folder/html/$t" "$prefix/share/albisko/html/$t" || fail "template $t not copied"
done
echo "install: 1 passed, 0 failed"
