#!/usr/bin/env bash
# Makes the Debian package from the build and checks it: its control fields, the dependencies
# found from the program's libraries, its files, the AppStream and desktop entries, its
# changelog's version, and lintian's verdict (no error or warning); then unpacks it and starts
# the packaged program as the desktop menu does.
#   package.sh <build folder> <the program's version>
set -euo pipefail
build="$1" version="$2"
source "$(dirname "$0")/installed-program.sh"  # tmp, fail, fresh_user, run_and_close, check_settings

# cpack leaves its staging folder beside the package: both go to the scratch folder.
(cd "$build" && cpack -G DEB -B "$tmp/out" >"$tmp/cpack.log" 2>&1) || { cat "$tmp/cpack.log" >&2; fail "cpack failed"; }
deb="$(ls "$tmp"/out/albisko_*.deb)"
[ "$(basename "$deb")" = "albisko_${version}_$(dpkg --print-architecture).deb" ] || fail "package file is $(basename "$deb")"

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = albisko ] || fail "package name is $(field Package)"
[ "$(field Version)" = "$version" ] || fail "version is $(field Version), not $version"
[ "$(field Section)" = graphics ] || fail "section is $(field Section)"
depends="$(field Depends)"
for lib in libqt6widgets6 libjpeg62-turbo libhunspell; do
    grep -q "\b$lib" <<<"$depends" || fail "Depends lacks $lib: $depends"
done
grep -q hunspell-cs <<<"$(field Recommends)" || fail "the Czech dictionary is not recommended"
grep -q xdg-utils <<<"$(field Recommends)" || fail "xdg-utils (for the help and the links) is not recommended"
lintian --fail-on error,warning "$deb" >"$tmp/lintian.log" 2>&1 || { cat "$tmp/lintian.log" >&2; fail "lintian finds errors or warnings"; }

dpkg-deb --contents "$deb" | awk '{print $6}' | sed 's|^\./|/|' | grep -v '/$' | sort >"$tmp/files"
printf '%s\n' /usr/bin/albisko /usr/bin/albisko-desktop /usr/share/applications/albisko.desktop \
    /usr/share/metainfo/org.example.albisko.metainfo.xml /usr/share/albisko/albisko.html \
    /usr/share/albisko/html/head1.tpl /usr/share/albisko/html/head2.tpl \
    /usr/share/icons/hicolor/scalable/apps/albisko.svg /usr/share/doc/albisko/copyright \
    /usr/share/doc/albisko/changelog.gz /usr/share/man/man1/albisko.1.gz /usr/share/man/man1/albisko-desktop.1.gz \
    $(printf '/usr/share/icons/hicolor/%sx%s/apps/albisko.png ' 16 16 32 32 48 48 64 64 128 128 256 256) |
    sort >"$tmp/expected"
diff -u "$tmp/expected" "$tmp/files" >&2 || fail "the package holds other files than the program's"

root="$tmp/root"
dpkg -x "$deb" "$root"
file "$root/usr/bin/albisko" | grep -q ', stripped' || fail "the program is not stripped"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.example.albisko.metainfo.xml" >&2 || fail "metainfo is not valid"
appstreamcli validate-tree --no-net "$root" >&2 || fail "metainfo does not fit the installed files"
entry="$root/usr/share/applications/albisko.desktop"
desktop-file-validate "$entry" || fail "desktop entry is not valid"
grep -qx "Exec=/usr/bin/albisko-desktop %f" "$entry" || fail "desktop entry does not start the installed launcher: $(grep Exec "$entry")"
changelog="$(zcat "$root/usr/share/doc/albisko/changelog.gz" | dpkg-parsechangelog -l- -SVersion)"
[ "$changelog" = "$version" ] || fail "the changelog's last entry is for $changelog, not $version"

# The unpacked program started through its launcher, as from the menu, with XDG_CONFIG_HOME and
# XDG_PICTURES_DIR set.
fresh_user
export XDG_CONFIG_HOME="$tmp/config" XDG_PICTURES_DIR="$tmp/Pictures"
mkdir -p "$XDG_PICTURES_DIR" "$tmp/menu"
run_and_close "$tmp/menu" '^Albisko$' "$root/usr/bin/albisko" "$root/usr/bin/albisko-desktop"
check_settings "$tmp/menu" "$root/usr/share/albisko" "$XDG_CONFIG_HOME/albisko" "$XDG_PICTURES_DIR" "$XDG_PICTURES_DIR"
echo "package: 1 passed, 0 failed"
