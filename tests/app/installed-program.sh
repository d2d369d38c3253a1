# Sourced by install.sh and package.sh: a scratch folder $tmp removed at exit (with the program
# started, if any), fail, and started_from_menu.
tmp="$(mktemp -d)"
pid=""
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# Starts the program installed under the prefix $1 as the desktop menu starts it (through its
# launcher, with a fresh home in $tmp) and checks that it runs in the per-user working folder,
# which the launcher made and filled with the help and the templates.
started_from_menu() {
    local prefix=$1 folder t
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
    [ "$(readlink "/proc/$pid/exe" 2>/dev/null || true)" = "$prefix/bin/albisko" ] || fail "the launcher did not start the program under $prefix"
    [ "$(readlink "/proc/$pid/cwd")" = "$folder" ] || fail "working folder is $(readlink "/proc/$pid/cwd"), not $folder"
    cmp -s "$folder/albisko.html" "$prefix/share/albisko/albisko.html" || fail "help not copied"
    for t in head1.tpl head2.tpl; do
        cmp -s "$folder/html/$t" "$prefix/share/albisko/html/$t" || fail "template $t not copied"
    done
}
