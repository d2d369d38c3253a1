#!/usr/bin/env bash
# Installs the built program under a fresh prefix and starts it from a terminal in some folder:
# the program must keep its settings in ~/.config/albisko (XDG_CONFIG_HOME unset), never in
# that folder, open the installed help, find the installed templates, start the first Open in
# the pictures folder user-dirs.dirs names, and open a folder given as a relative path.
#   install.sh <build folder>
set -euo pipefail
build="$1"
source "$(dirname "$0")/installed-program.sh"  # tmp, fail, fresh_user, run_and_close, check_settings

prefix="$tmp/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

for f in bin/albisko bin/albisko-desktop share/applications/albisko.desktop \
         share/icons/hicolor/scalable/apps/albisko.svg share/icons/hicolor/48x48/apps/albisko.png \
         share/albisko/albisko.html share/albisko/html/head1.tpl share/albisko/html/head2.tpl \
         share/man/man1/albisko.1.gz share/man/man1/albisko-desktop.1.gz \
         share/doc/albisko/copyright share/doc/albisko/changelog.gz; do
    [ -f "$prefix/$f" ] || fail "not installed: $f"
done
entry="$prefix/share/applications/albisko.desktop"
grep -qx "Exec=$prefix/bin/albisko-desktop %f" "$entry" || fail "desktop entry does not start the launcher: $(grep Exec "$entry")"
grep -qx "Icon=albisko" "$entry" || fail "desktop entry has no icon"
grep -q "^Categories=.*Graphics;.*Photography;" "$entry" || fail "desktop entry has no Graphics/Photography category"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$entry" || fail "desktop entry is not valid"
fi

fresh_user
pictures="$HOME/Obrázky"
mkdir -p "$pictures" "$HOME/.config" "$tmp/terminal"
printf '# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR="$HOME/Plocha"\nXDG_PICTURES_DIR="$HOME/Obrázky"\n' \
    >"$HOME/.config/user-dirs.dirs"

# A first start from a terminal in some folder, with nothing on the command line.
run_and_close "$tmp/terminal" '^Albisko$' "$prefix/bin/albisko" "$prefix/bin/albisko"
[ -z "$(ls -A "$tmp/terminal")" ] || fail "files written where the program was started: $(ls -A "$tmp/terminal")"
check_settings "$tmp/terminal" "$prefix/share/albisko" "$HOME/.config/albisko" "$pictures" "$pictures"

# Started again there with an album given by a relative path: the album of that folder opens.
mkdir "$tmp/terminal/fotky"
ppmmake rgb:80/40/20 64 48 | pnmtojpeg >"$tmp/terminal/fotky/a.jpg" 2>/dev/null
run_and_close "$tmp/terminal" '^fotky - Albisko$' "$prefix/bin/albisko" "$prefix/bin/albisko" fotky
check_settings "$tmp/terminal" "$prefix/share/albisko" "$HOME/.config/albisko" "$tmp/terminal/fotky" "$pictures"
echo "install: 1 passed, 0 failed"
