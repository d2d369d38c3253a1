#!/usr/bin/env bash
# End-to-end test of the real program on a real X server.
#
# Starts its own Xvfb (no window manager), starts the built program in a fresh working folder and
# drives it with real key and mouse events through xdotool: Open through Qt's own folder picker,
# captions with Czech diacritics typed into the fields, moving with "Další" and the navigation
# buttons, Save with Ctrl+S, "Další" pressed twice as fast as keys go, Alt+D on the last photo
# (nothing typed), Ctrl+A from a text field (Nastavení), one more change with a misspelled word
# corrected from the field's context menu, Soubor > Zavřít and "Yes" in the real question box.
# Then "info.txt" is compared byte for byte with the expected Windows-1250 bytes and "albisko.ini"
# is checked. Then the program is started again with the album's folder on its command line (it
# opens at once), the photo is shown on the whole screen with F11 and moved through with PgDn,
# Right and PgUp, Escape returns to the main window on the photo last shown, the big preview (F10)
# follows the main window's Alt+D, and "info.txt" is compared again. Screenshots of the main
# window with the open album, of the (Czech) folder picker, of the full-screen view and of the big
# preview are left in the build folder (e2e-main-window.png, e2e-folder-picker.png,
# e2e-full-screen.png, e2e-big-preview.png). Last, a second album is opened in a main window as
# large as the screen (as maximising makes it; no window manager runs): the album's overview shows
# its tiles by colour, a click on a tile goes to the photo, a title typed there turns the tile's
# mark green, three tiles selected with Ctrl+click get the shown photo's title through "Úpravy >
# Použít na vybrané fotky...", and the saved "info.txt" is compared byte for byte; the thumbnails
# are in the desktop's cache, and e2e-overview.png shows the window. The working files of the last
# run stay in <build folder>/e2e.
#
# Usage: e2e.sh <albisko executable> <build folder> <e2e_bind_czech_keys executable>
set -euo pipefail

if [ $# -ne 3 ]; then
  echo "usage: $0 <albisko executable> <build folder> <e2e_bind_czech_keys executable>" >&2
  exit 2
fi
APP=$(realpath "$1")
BUILD=$(realpath "$2")
BIND_KEYS=$(realpath "$3")

SCREENSHOT="$BUILD/e2e-main-window.png"
PICKER_SCREENSHOT="$BUILD/e2e-folder-picker.png"
FULL_SCREENSHOT="$BUILD/e2e-full-screen.png"
BIG_SCREENSHOT="$BUILD/e2e-big-preview.png"
OVERVIEW_SCREENSHOT="$BUILD/e2e-overview.png"
RUN="$BUILD/e2e"                       # everything this run makes, fresh each time
WORK="$RUN/work"                       # the program's start folder: albisko.ini goes here
ALBUM_NAME="Tatry-léto"                # the photo folder's own name (not plain ASCII on purpose)
PHOTOS="$RUN/photos/$ALBUM_NAME"
# The main window's client area is 727 x 569 under its menu bar; controls sit at fixed client
# positions counted from the top of the area under the menu bar.
CLIENT_WIDTH=727
CLIENT_HEIGHT=569

XVFB_PID=""
APP_PID=""
START=$SECONDS

log() { printf 'e2e [%3ds] %s\n' $((SECONDS - START)) "$*"; }

fail() {
  printf 'e2e: FAIL: %s\n' "$*" >&2
  if [ -n "${DISPLAY:-}" ] && [ -n "$XVFB_PID" ] && kill -0 "$XVFB_PID" 2>/dev/null; then
    # The whole screen as it was when the test gave up, for whoever reads the failure.
    xwd -silent -root 2>/dev/null | xwdtopnm 2>/dev/null | pnmtopng >"$RUN/failure-screen.png" 2>/dev/null \
      && printf 'e2e: screen at the failure: %s\n' "$RUN/failure-screen.png" >&2
  fi
  exit 1
}

stop_pid() {  # stop_pid <pid>: TERM, then KILL if it does not go within 5 s; reaps it
  local pid=$1 i
  [ -n "$pid" ] || return 0
  kill -0 "$pid" 2>/dev/null || { wait "$pid" 2>/dev/null || true; return 0; }
  kill -TERM "$pid" 2>/dev/null || true
  for i in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

cleanup() {
  local rc=$?
  stop_pid "$APP_PID"
  stop_pid "$XVFB_PID"
  if [ $rc -eq 0 ]; then log "PASS"; fi
  exit $rc
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

for tool in Xvfb xdotool xwd xwdtopnm pnmtopng ppmmake pnmtojpeg pamcut pnmtoplainpnm iconv cmp od timeout realpath; do
  command -v "$tool" >/dev/null || fail "'$tool' is missing (bash scripts/setup.sh installs it)"
done
[ -x "$APP" ] || fail "no program at $APP"
[ -x "$BIND_KEYS" ] || fail "no key binder at $BIND_KEYS"

# ---------------------------------------------------------------- a fresh, closed environment
rm -rf "$RUN"
mkdir -p "$WORK" "$PHOTOS" "$RUN/home/.config" "$RUN/runtime"
chmod 700 "$RUN/runtime"
RUN=$(realpath "$RUN")
WORK="$RUN/work"
PHOTOS="$RUN/photos/$ALBUM_NAME"
rm -f "$SCREENSHOT" "$PICKER_SCREENSHOT"

# Nothing from the caller's session: its display, platform plugin, home folder, time zone, locale.
unset DISPLAY WAYLAND_DISPLAY XAUTHORITY SESSION_MANAGER QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE \
      QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR QT_ENABLE_HIGHDPI_SCALING
export QT_QPA_PLATFORM=xcb
export HOME="$RUN/home" XDG_CONFIG_HOME="$RUN/home/.config" XDG_RUNTIME_DIR="$RUN/runtime"
export TZ=UTC LC_ALL=C.UTF-8 LANG=C.UTF-8   # xdotool reads the typed text as UTF-8

# ---------------------------------------------------------------- three photos with known dates
make_photo() {  # make_photo <file> <colour> <width> <height> <modification time>
  ppmmake "$2" "$3" "$4" | pnmtojpeg -quality=95 >"$1" 2>/dev/null || fail "cannot make photo $1"
  touch -d "$5" "$1"
}
make_photo "$PHOTOS/IMG_0001.jpg" "rgb:c8/28/28" 400 300 "2004-01-15 10:30:00"
make_photo "$PHOTOS/IMG_0002.jpg" "rgb:28/a0/3c" 240 320 "2004-02-03 08:00:00"
make_photo "$PHOTOS/IMG_0003.jpg" "rgb:28/50/c8" 400 200 "2004-12-28 18:45:00"

# ---------------------------------------------------------------- the X server
# -displayfd: the server takes the first free display number itself and writes it when ready.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$RUN/display" >"$RUN/xvfb.log" 2>&1 &
XVFB_PID=$!
for _ in $(seq 200); do
  [ -s "$RUN/display" ] && break
  kill -0 "$XVFB_PID" 2>/dev/null || fail "Xvfb did not start: $(cat "$RUN/xvfb.log")"
  sleep 0.05
done
[ -s "$RUN/display" ] || fail "Xvfb reported no display within 10 s"
export DISPLAY=":$(tr -d '[:space:]' <"$RUN/display")"
timeout 10 xdotool getdisplaygeometry >/dev/null || fail "cannot reach the X server on $DISPLAY"
log "Xvfb on $DISPLAY"
# The Czech letters get keys of their own, so typing them never changes the keyboard map.
"$BIND_KEYS" || fail "cannot put the Czech letters on keys"

# ---------------------------------------------------------------- helpers on the live program
app_running() { kill -0 "$APP_PID" 2>/dev/null; }

# find_window <regex of the title> [seconds]: waits until a visible window has that title, prints its id.
find_window() {
  local id
  id=$(timeout "${2:-20}" xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n 1) || true
  [ -n "$id" ] || fail "no window titled /$1/ appeared (program running: $(app_running && echo yes || echo no))"
  printf '%s\n' "$id"
}

# wait_for <what> <seconds> <command...>: polls the command until it succeeds.
wait_for() {
  local what=$1 limit=$2 i
  shift 2
  for i in $(seq $((limit * 20))); do
    "$@" && return 0
    app_running || fail "the program ended while waiting for $what"
    sleep 0.05
  done
  fail "timed out after ${limit} s waiting for $what"
}

# The program's visible windows other than the main window: a dialog, a message box or an open menu
# (each is an X window of its own with the program's class).
other_windows() { xdotool search --onlyvisible --classname '^albisko$' 2>/dev/null | grep -vx "$MAIN" || true; }
other_window_shown() { [ -n "$(other_windows)" ]; }
no_other_window() { [ -z "$(other_windows)" ]; }

focus() { xdotool windowfocus --sync "$1"; }

# program_ends <which program> <its log>: waits up to 20 s for the program to end, with exit code 0.
program_ends() {
  local rc
  for _ in $(seq 400); do
    app_running || break
    sleep 0.05
  done
  app_running && fail "$1 did not end within 20 s"
  set +e
  wait "$APP_PID"
  rc=$?
  set -e
  APP_PID=""
  [ "$rc" -eq 0 ] || fail "$1 exited with $rc; its output: $(cat "$2")"
}

# preview_shows <red|green|blue>: whether the preview panel shows that photo now (each test photo is
# one colour: 1 red, 2 green, 3 blue). The point is client 420,132, inside the panel (320,32 onwards)
# whatever the photo's shape. The screen changes only after the program handled what came before.
preview_shows() {
  local r g b
  read -r r g b < <(xwd -silent -id "$MAIN" | xwdtopnm 2>/dev/null \
    | pamcut -left 420 -top $((MENU_HEIGHT + 132)) -width 1 -height 1 | pnmtoplainpnm | tail -n 1) || return 1
  is_colour "$1" "$r" "$g" "$b"
}
is_colour() {  # is_colour <red|green|blue> <r> <g> <b>
  case $1 in
    red) [ "$2" -gt 150 ] && [ "$3" -lt 90 ] && [ "$4" -lt 90 ] ;;
    green) [ "$3" -gt 120 ] && [ "$2" -lt 90 ] && [ "$4" -lt 110 ] ;;
    blue) [ "$4" -gt 150 ] && [ "$2" -lt 90 ] && [ "$3" -lt 130 ] ;;
  esac
}

# Where the mouse rests between clicks: off the window, so that no hint pops up over it.
PARK=(1200 1000)
# click <client x> <client y>: a real left click at a point of the main window's client area.
click() { xdotool mousemove --window "$MAIN" "$1" $((MENU_HEIGHT + $2)) click 1 mousemove "${PARK[@]}"; }

# type_text <text>: typed as key presses, one key (with Shift for capitals) per character.
type_text() { xdotool type --delay 30 -- "$1"; }

key() { xdotool key --delay 40 "$@"; }

# Centres of the controls, in client coordinates (group origin + the control's own place).
ALBUM_NAME_FIELD=(156 74)   # EditAName: album group 8,32 + 8,32, 281 x 21
ALBUM_DESC_FIELD=(156 176)  # MemoA: album group + 8,112, 281 x 65
PHOTO_TITLE_FIELD=(156 322) # EditFTitle: photo group 8,280 + 8,32
PHOTO_DATE_FIELD=(156 402)  # EditFdate: photo group + 8,112
PHOTO_DESC_FIELD=(156 464)  # MemoF: photo group + 8,152, 281 x 65
FIRST_BUTTON=(336 388)      # BitBtnFirst 320,376 33 x 25
PREVIOUS_BUTTON=(368 388)   # BitBtnPrevious 352,376
NEXT_BUTTON=(400 388)       # BitBtnNext 384,376
LAST_BUTTON=(432 388)       # BitBtnLast 416,376

# ---------------------------------------------------------------- start
( cd "$WORK" && exec "$APP" ) >"$RUN/albisko.log" 2>&1 &
APP_PID=$!
MAIN=$(find_window '^Albisko$' 30)
xdotool mousemove "${PARK[@]}"
focus "$MAIN"
eval "$(xdotool getwindowgeometry --shell "$MAIN")"  # X Y WIDTH HEIGHT
log "main window $MAIN at $X,$Y, $WIDTH x $HEIGHT"
[ "$X,$Y" = "244,94" ] || fail "a fresh start should place the main window at 244,94, not $X,$Y"
[ "$WIDTH" -eq "$CLIENT_WIDTH" ] || fail "main window is $WIDTH wide, expected $CLIENT_WIDTH"
MENU_HEIGHT=$((HEIGHT - CLIENT_HEIGHT))
[ "$MENU_HEIGHT" -gt 10 ] && [ "$MENU_HEIGHT" -lt 60 ] || fail "odd menu bar height $MENU_HEIGHT (window height $HEIGHT)"
WINDOW_WIDTH=$WIDTH
WINDOW_HEIGHT=$HEIGHT

# ---------------------------------------------------------------- Open through the real picker
key ctrl+o
wait_for "the folder picker" 20 other_window_shown
PICKER=$(other_windows | head -n 1)
focus "$PICKER"
PICKER_TITLE=$(xdotool getwindowname "$PICKER")
log "folder picker $PICKER open: \"$PICKER_TITLE\""
# Qt's own dialogs speak Czech too.
case $PICKER_TITLE in
  *Find*|*Directory*) fail "the folder picker is in English: \"$PICKER_TITLE\"" ;;
esac
sleep 0.5
xwd -silent -id "$PICKER" | xwdtopnm 2>/dev/null | pnmtopng >"$PICKER_SCREENSHOT" 2>/dev/null \
  || fail "cannot take the screenshot of the folder picker"
log "screenshot: $PICKER_SCREENSHOT"
# Qt's own picker starts with the keyboard in its "Directory:" field; a full path and Return choose it.
type_text "$PHOTOS"
key Return
find_window "^$ALBUM_NAME - Albisko\$" >/dev/null
wait_for "the folder picker to close" 10 no_other_window
wait_for "photo 1 in the preview" 10 preview_shows red
focus "$MAIN"
log "album open: \"$ALBUM_NAME - Albisko\""

# ---------------------------------------------------------------- captions
# Album name: replace the folder's name that Open put there (Ctrl+A is Nastavení, not select-all).
click "${ALBUM_NAME_FIELD[@]}"
key End shift+Home
type_text "Vysoké Tatry"
# Album description, with double quotes (the file gets apostrophes for them).
click "${ALBUM_DESC_FIELD[@]}"
type_text 'Návštěva "Vysokých" Tater'
# Photo 1.
click "${PHOTO_TITLE_FIELD[@]}"
type_text "Chata pod Lomnickým štítem"
click "${PHOTO_DESC_FIELD[@]}"
type_text "Žluťoučký kůň úpěl ďábelské ódy"
# "Další" (Alt+D): photo 2, and the keyboard goes to the photo name field by itself, with the
# name selected, so typing replaces it.
key alt+d
wait_for "photo 2 after Další" 10 preview_shows green
type_text "Štrbské pleso"
# Next button: photo 3, a new title and date.
click "${NEXT_BUTTON[@]}"
wait_for "photo 3 after Next" 10 preview_shows blue
click "${PHOTO_TITLE_FIELD[@]}"
type_text "Lomnický štít"
click "${PHOTO_DATE_FIELD[@]}"
key End shift+Home
type_text "1.8.2004"
# Previous: photo 2 gets its title.
click "${PREVIOUS_BUTTON[@]}"
wait_for "photo 2 after Previous" 10 preview_shows green
click "${PHOTO_TITLE_FIELD[@]}"
type_text "Řeka Poprad"
# First: back to photo 1, which the screenshot shows.
click "${FIRST_BUTTON[@]}"
wait_for "photo 1 after First" 10 preview_shows red

# ---------------------------------------------------------------- Save (Ctrl+S)
INFO="$PHOTOS/info.txt"
[ ! -e "$INFO" ] || fail "info.txt exists before Save"
key ctrl+s
wait_for "Save to write info.txt" 20 test -f "$INFO"
log "saved"

# The expected file, written as UTF-8 here and converted to Windows-1250 with CR LF line ends.
expected_file() {  # expected_file <photo 3 description, as written> <photo 3 name> <output>
  {
    printf '%s\r\n' \
      '[head]' 'name=Vysoké Tatry' 'date=15.1.2004' "desc=\"Návštěva 'Vysokých' Tater\"" 'rights=0' \
      '[IMG_0001]' 'title=Chata pod Lomnickým štítem' 'name=IMG_0001' 'date=15.1.2004' \
      'desc="Žluťoučký kůň úpěl ďábelské ódy"' 'rights=0' \
      '[IMG_0002]' 'title=Řeka Poprad' 'name=Štrbské pleso' 'date=3.2.2004' 'desc=' 'rights=0' \
      '[IMG_0003]' 'title=Lomnický štít' "name=$2" 'date=1.8.2004' "desc=$1" 'rights=0'
  } | iconv -f UTF-8 -t WINDOWS-1250 >"$3" || fail "iconv cannot make the expected Windows-1250 bytes"
}

compare_info() {  # compare_info <expected file> <when>
  if ! cmp -s "$1" "$INFO"; then
    {
      echo "info.txt $2 differs from the expected bytes ($1)."
      echo "--- expected (shown as UTF-8, ^M = CR):"
      iconv -f WINDOWS-1250 -t UTF-8 "$1" | cat -A
      echo "--- info.txt (shown as UTF-8, ^M = CR):"
      iconv -f WINDOWS-1250 -t UTF-8 "$INFO" | cat -A || od -c "$INFO"
      cmp "$1" "$INFO" || true
    } >&2
    fail "info.txt $2 is not as expected"
  fi
}

expected_file "" IMG_0003 "$RUN/expected-after-save.txt"
# The file names the Czech letters in Windows-1250: š is one byte 0x9A, never UTF-8's 0xC5 0xA1.
od -An -tx1 "$RUN/expected-after-save.txt" | grep -q ' 9a' || fail "expected bytes are not Windows-1250"
compare_info "$RUN/expected-after-save.txt" "after Save"
[ ! -e "$PHOTOS/~info.txt" ] || fail "an autosave file ~info.txt is left after Save"
log "info.txt after Save: $(stat -c %s "$INFO") bytes, as expected"

# ---------------------------------------------------------------- screenshot of the open album
# Save ran after every earlier key and click, so the window shows them; let it finish painting.
sleep 0.5
xwd -silent -id "$MAIN" | xwdtopnm 2>/dev/null | pnmtopng >"$SCREENSHOT" 2>/dev/null \
  || fail "cannot take the screenshot"
log "screenshot: $SCREENSHOT"
wait_for "photo 1 in the preview of the screenshot" 5 preview_shows red

# ---------------------------------------------------------------- Alt+D as fast as keys go
# From photo 1, two presses with no pause between them: both act (none is lost to a button's
# pressed look), the preview ends on photo 3, and the keyboard is in photo 3's name field.
click "${FIRST_BUTTON[@]}"
wait_for "photo 1 after First" 10 preview_shows red
xdotool key --delay 0 alt+d alt+d
wait_for "photo 3 after two fast Další" 10 preview_shows blue
type_text "Rychle"
# On the last photo "Další" is disabled: Alt+D only beeps and types nothing into the name field.
key alt+d
# Ctrl+A in a text field opens Nastavení (the field does not take it for select-all).
key ctrl+a
SETTINGS=$(find_window '^Nastavení$')
log "Ctrl+A in the name field opened \"Nastavení\" ($SETTINGS)"
focus "$SETTINGS"
key Escape
wait_for "Nastavení to close" 10 no_other_window
focus "$MAIN"

# ---------------------------------------------------------------- one more change, then close
# Photo 3 gets a description after the Save.
click "${LAST_BUTTON[@]}"
wait_for "photo 3 after Last" 10 preview_shows blue
click "${PHOTO_DESC_FIELD[@]}"
# Typed with a misspelling, which the spelling underlines; the field's context menu (the menu
# key, at the word the cursor ends) offers "Tatrami" first, and Return takes it.
type_text "Západ slunce nad Tatrmi"
key Menu
wait_for "the description's context menu" 10 other_window_shown
key Down Return
wait_for "the context menu to close" 10 no_other_window
# Soubor > Zavřít from the keyboard: Alt+S opens the menu, Z closes the window.
wait_for "no box or menu over the main window" 10 no_other_window
key alt+s
wait_for "the Soubor menu" 10 other_window_shown
key z
QUESTION=$(find_window '^Uložit\?$')
log "question box \"Uložit?\" ($QUESTION)"
focus "$QUESTION"
key Return   # Yes, the default button
program_ends "the program, after answering Yes," "$RUN/albisko.log"
log "program ended"

expected_file '"Západ slunce nad Tatrami"' Rychle "$RUN/expected-after-close.txt"
compare_info "$RUN/expected-after-close.txt" "after closing with Yes"
[ ! -e "$PHOTOS/~info.txt" ] || fail "an autosave file ~info.txt is left after closing"
log "info.txt after closing: $(stat -c %s "$INFO") bytes, as expected"

# ---------------------------------------------------------------- albisko.ini
INI="$WORK/albisko.ini"
[ -f "$INI" ] || fail "no albisko.ini in the working folder $WORK"
iconv -f UTF-8 -t UTF-8 "$INI" >/dev/null 2>&1 || fail "albisko.ini is not UTF-8"

ini_value() {  # ini_value <section> <key>: the value (first match; CR of CR LF dropped)
  awk -v section="$1" -v key="$2" '
    { sub(/\r$/, "") }
    /^\[.*\]$/ { current = tolower(substr($0, 2, length($0) - 2)); next }
    current == tolower(section) {
      eq = index($0, "=")
      if (eq > 0 && tolower(substr($0, 1, eq - 1)) == tolower(key)) { print substr($0, eq + 1); found = 1; exit }
    }
    END { if (!found) exit 1 }' "$INI"
}

check_ini() {  # check_ini <section> <key> <expected value>
  local value
  value=$(ini_value "$1" "$2") || fail "albisko.ini has no [$1] $2; it holds: $(cat "$INI")"
  [ "$value" = "$3" ] || fail "albisko.ini [$1] $2 is '$value', expected '$3'"
}

check_ini config SaveLastDir yes
check_ini config LastDir "$PHOTOS"
check_ini config DefaultDir "$WORK"
check_ini config AutoSave yes     # a first start has autosave on, every 5 minutes
check_ini config AutoSaveValue 5
check_ini window PositionLeft 244
check_ini window PositionTop 94
check_ini window Width "$WINDOW_WIDTH"
check_ini window Height "$WINDOW_HEIGHT"
check_ini window WindowState Normal
log "albisko.ini as expected"

# ---------------------------------------------------------------- started with the folder, the photo on the whole screen
# The program started as a file manager starts it on a folder: the album opens at once, no picker.
( cd "$WORK" && exec "$APP" "$PHOTOS" ) >"$RUN/albisko-folder.log" 2>&1 &
APP_PID=$!
MAIN=$(find_window "^$ALBUM_NAME - Albisko\$" 30)
log "started with the folder: main window $MAIN"
xdotool mousemove "${PARK[@]}"
focus "$MAIN"
wait_for "photo 1 in the preview" 10 preview_shows red
key F11
wait_for "the full-screen view" 10 other_window_shown
FULL=$(other_windows | head -n 1)
focus "$FULL"
eval "$(xdotool getwindowgeometry --shell "$FULL")"  # X Y WIDTH HEIGHT
[ "$WIDTH x $HEIGHT" = "1280 x 1024" ] || fail "the full-screen view is $WIDTH x $HEIGHT, not the screen's 1280 x 1024"
# screen_shows <red|green|blue>: whether the middle of the screen shows that photo now.
screen_shows() {
  local r g b
  read -r r g b < <(xwd -silent -id "$FULL" | xwdtopnm 2>/dev/null \
    | pamcut -left 640 -top 512 -width 1 -height 1 | pnmtoplainpnm | tail -n 1) || return 1
  is_colour "$1" "$r" "$g" "$b"
}
wait_for "photo 1 on the whole screen" 10 screen_shows red
key Next
wait_for "photo 2 on the whole screen after PgDn" 10 screen_shows green
key Right
wait_for "photo 3 on the whole screen after Right" 10 screen_shows blue
key Prior
wait_for "photo 2 on the whole screen after PgUp" 10 screen_shows green
xwd -silent -id "$FULL" | xwdtopnm 2>/dev/null | pnmtopng >"$FULL_SCREENSHOT" 2>/dev/null \
  || fail "cannot take the screenshot of the full-screen view"
log "screenshot: $FULL_SCREENSHOT"
key Escape
wait_for "the full-screen view to close" 10 no_other_window
# Back in the main window on the photo last shown.
wait_for "photo 2 in the main window's preview" 10 preview_shows green
# The big preview (F10): a window of its own that follows the main window's steps.
focus "$MAIN"
key F10
wait_for "the big preview" 10 other_window_shown
BIG=$(other_windows | head -n 1)
# big_shows <red|green|blue>: whether the middle of the big preview shows that photo now.
big_shows() {
  local r g b WIDTH HEIGHT X Y SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$BIG")"
  read -r r g b < <(xwd -silent -id "$BIG" | xwdtopnm 2>/dev/null \
    | pamcut -left $((WIDTH / 2)) -top $((HEIGHT / 2)) -width 1 -height 1 | pnmtoplainpnm | tail -n 1) || return 1
  is_colour "$1" "$r" "$g" "$b"
}
wait_for "photo 2 in the big preview" 10 big_shows green
focus "$MAIN"
key alt+d
wait_for "photo 3 in the big preview after Alt+D in the main window" 10 big_shows blue
wait_for "photo 3 in the main window's preview" 10 preview_shows blue
xwd -silent -id "$BIG" | xwdtopnm 2>/dev/null | pnmtopng >"$BIG_SCREENSHOT" 2>/dev/null \
  || fail "cannot take the screenshot of the big preview"
log "screenshot: $BIG_SCREENSHOT"
focus "$MAIN"
key F10
wait_for "the big preview to close" 10 no_other_window
focus "$MAIN"
key alt+s
wait_for "the Soubor menu" 10 other_window_shown
key z
# Nothing was typed: if the album counts as changed, the save writes the same bytes.
for _ in $(seq 200); do
  app_running || break
  QUESTION=$(xdotool search --onlyvisible --name '^Uložit\?$' 2>/dev/null | head -n 1 || true)
  if [ -n "$QUESTION" ]; then
    focus "$QUESTION"
    key Return
    break
  fi
  sleep 0.05
done
program_ends "the program started with the folder" "$RUN/albisko-folder.log"
compare_info "$RUN/expected-after-close.txt" "after moving through the full-screen view"
log "full-screen view and big preview: moved as the buttons move, info.txt unchanged"

# ---------------------------------------------------------------- the album's overview in a large window
# shellcheck source=overview.sh
source "$(dirname "${BASH_SOURCE[0]}")/overview.sh"
