# Sourced by install.sh and package.sh: a scratch folder $tmp removed at exit (with the X server
# and the program started, if any), fail, fresh_user, run_and_close and check_settings.
tmp="$(mktemp -d)"
pids=()
cleanup() {
    local p
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# A user of their own, as on a fresh desktop: a home in $tmp, no settings yet, an X server of
# their own with no window manager, and an xdg-open that only writes down what it was asked to
# open (into $tmp/opened), in place of the desktop's.
fresh_user() {
    unset DISPLAY WAYLAND_DISPLAY XAUTHORITY SESSION_MANAGER XDG_CONFIG_HOME XDG_PICTURES_DIR \
          XDG_CURRENT_DESKTOP DESKTOP_SESSION QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE
    export HOME="$tmp/home" QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 XDG_RUNTIME_DIR="$tmp/runtime"
    mkdir -p "$HOME" "$tmp/bin" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s/opened"\n' "$tmp" >"$tmp/bin/xdg-open"
    chmod +x "$tmp/bin/xdg-open"
    export PATH="$tmp/bin:$PATH"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$tmp/display" >"$tmp/xvfb.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 200); do
        [ -s "$tmp/display" ] && break
        sleep 0.05
    done
    [ -s "$tmp/display" ] || fail "Xvfb did not start: $(cat "$tmp/xvfb.log")"
    export DISPLAY=":$(tr -d '[:space:]' <"$tmp/display")"
}

# The program's visible windows (the main window, and a menu or a box when one is open).
windows_shown() { xdotool search --onlyvisible --classname '^albisko$' 2>/dev/null | wc -l; }

# run_and_close <folder> <title> <program file> <command> [arguments...]: starts the command in
# the folder and waits for the main window with that title, shown by that program file. Then F1
# (the help), Ctrl+H (the HTML templates: an error box would stay open) and Soubor > Zavřít
# from the keyboard, answering Yes when asked to save; the program must end by itself, with
# exit code 0.
run_and_close() {
    local folder=$1 title=$2 program=$3 pid main i rc question
    shift 3
    rm -f "$tmp/opened"
    (cd "$folder" && exec "$@") >"$tmp/program.log" 2>&1 &
    pid=$!
    pids+=("$pid")
    main=$(timeout 30 xdotool search --sync --onlyvisible --name "$title" 2>/dev/null | head -n 1) || true
    [ -n "$main" ] || fail "no main window titled /$title/; the program said: $(cat "$tmp/program.log")"
    [ "$(readlink "/proc/$pid/exe")" = "$program" ] || fail "the program running is $(readlink "/proc/$pid/exe"), not $program"
    xdotool windowfocus --sync "$main"
    xdotool key F1
    for i in $(seq 100); do [ -s "$tmp/opened" ] && break; sleep 0.1; done
    xdotool key ctrl+h alt+s
    for i in $(seq 100); do [ "$(windows_shown)" -gt 1 ] && break; sleep 0.1; done
    xdotool key z
    for i in $(seq 100); do
        kill -0 "$pid" 2>/dev/null || break
        # An album opened without an info.txt has its defaults to save: Yes, the default button.
        question=$(xdotool search --onlyvisible --name '^Uložit\?$' 2>/dev/null | head -n 1) || true
        [ -n "$question" ] && xdotool windowfocus --sync "$question" key Return
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && fail "the program did not end; its windows: $(xdotool search --onlyvisible \
        --classname '^albisko$' getwindowname %@ 2>/dev/null | tr '\n' '|')"
    rc=0
    wait "$pid" || rc=$?
    [ "$rc" -eq 0 ] || fail "the program ended with $rc: $(cat "$tmp/program.log")"
}

# check_settings <folder started in> <installed data folder> <settings folder> <LastDir> <DefaultDir>:
# after run_and_close, nothing was written where the program was started, the settings are in
# the user's folder with autosave on at 5 minutes, and F1 opened the installed help.
check_settings() {
    local started=$1 data=$2 ini="$3/albisko.ini" key expected
    [ ! -e "$started/albisko.ini" ] || fail "albisko.ini written into the folder the program was started in"
    [ -f "$ini" ] || fail "no settings file $ini; $3 holds: $(ls -A "$3" 2>&1)"
    for expected in "LastDir=$4" "DefaultDir=$5" "AutoSave=yes" "AutoSaveValue=5"; do
        key=${expected%%=*}
        [ "$(tr -d '\r' <"$ini" | grep "^$key=")" = "$expected" ] || fail "$ini: expected $expected; it holds: $(cat "$ini")"
    done
    [ "$(cat "$tmp/opened" 2>/dev/null)" = "file://$data/albisko.html" ] ||
        fail "F1 opened '$(cat "$tmp/opened" 2>/dev/null)', not the installed help $data/albisko.html"
}
