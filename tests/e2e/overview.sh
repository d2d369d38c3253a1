# Part of e2e.sh (sourced at its end, with its helpers and its X server): the album's overview in
# a main window as large as the screen. A second album opens; the overview shows its tiles by
# colour, a click goes to a photo whose title typed turns its tile's mark green, three tiles
# selected with Ctrl+click get the shown photo's title through "Úpravy > Použít na vybrané
# fotky...", and the saved info.txt is compared byte for byte. The thumbnails are in the
# desktop's cache; e2e-overview.png shows the window.
OVERVIEW_NAME="Přehled"
OVERVIEW_PHOTOS="$RUN/photos/$OVERVIEW_NAME"
mkdir -p "$OVERVIEW_PHOTOS"
TILE_COLOURS=(red green blue red green)
for i in 0 1 2 3 4; do
  case ${TILE_COLOURS[$i]} in red) c="rgb:c8/28/28" ;; green) c="rgb:28/a0/3c" ;; blue) c="rgb:28/50/c8" ;; esac
  make_photo "$OVERVIEW_PHOTOS/P$i.jpg" "$c" 640 480 "2005-06-0$((i + 1)) 12:00:00"
done
( cd "$WORK" && exec "$APP" "$OVERVIEW_PHOTOS" ) >"$RUN/albisko-overview.log" 2>&1 &
APP_PID=$!
MAIN=$(find_window "^$OVERVIEW_NAME - Albisko\$" 30)
xdotool mousemove "${PARK[@]}"
eval "$(xdotool getdisplaygeometry --shell)"  # WIDTH HEIGHT of the screen
xdotool windowmove --sync "$MAIN" 0 0 windowsize --sync "$MAIN" "$WIDTH" "$((HEIGHT - MENU_HEIGHT))"
focus "$MAIN"
log "main window as large as the screen, $WIDTH x $HEIGHT"

# The overview starts at client 728,32 (with its frame): tile i is in column i % 3, line i / 3,
# 144 x 164; its thumbnail's square starts 8,8 into it, its mark's centre is 128,150 into it.
tile_point() {  # tile_point <tile> <x in the tile> <y in the tile>: the client point
  echo $((730 + ($1 % 3) * 144 + $2)) $((34 + ($1 / 3) * 164 + $3))
}
pixel_is() {  # pixel_is <client x> <client y> <red|green|blue|mark>
  local r g b
  read -r r g b < <(xwd -silent -id "$MAIN" | xwdtopnm 2>/dev/null \
    | pamcut -left "$1" -top $((MENU_HEIGHT + $2)) -width 1 -height 1 | pnmtoplainpnm | tail -n 1) || return 1
  case $3 in
    mark) [ "$r" -lt 80 ] && [ "$g" -gt 100 ] && [ "$g" -lt 150 ] && [ "$b" -lt 80 ] ;;  # the green of a titled photo
    nomark) [ "$r" -gt 230 ] && [ "$g" -gt 230 ] && [ "$b" -gt 230 ] ;;                  # the empty circle
    *) is_colour "$3" "$r" "$g" "$b" ;;
  esac
}
tile_shows() { pixel_is $(tile_point "$1" 72 72) "$2"; }
mark_is() { pixel_is $(tile_point "$1" 125 145) "$2"; }
for i in 0 1 2 3 4; do
  wait_for "tile $((i + 1)) showing its photo (${TILE_COLOURS[$i]})" 10 tile_shows "$i" "${TILE_COLOURS[$i]}"
  wait_for "tile $((i + 1)) without a title mark" 5 mark_is "$i" nomark
done
log "overview: five tiles by colour, none marked"
THUMBNAILS=$(find "$HOME/.cache/thumbnails/normal" -name '*.png' 2>/dev/null | wc -l)
[ "$THUMBNAILS" -eq 5 ] || fail "the desktop's thumbnail cache holds $THUMBNAILS thumbnails, not 5"

# A click on tile 3 goes to photo 3; its title typed, its mark turns green.
click $(tile_point 2 72 72)
wait_for "photo 3 in the preview after a click on its tile" 10 preview_shows blue
click "${PHOTO_TITLE_FIELD[@]}"
type_text "Modrá"
wait_for "tile 3 marked as titled" 10 mark_is 2 mark
# Photo 1 gets a title, then tiles 2, 4 and 5 are added with Ctrl+click and get it too.
click $(tile_point 0 72 72)
wait_for "photo 1 in the preview after a click on its tile" 10 preview_shows red
click "${PHOTO_TITLE_FIELD[@]}"
type_text "Společný nadpis"
for i in 1 3 4; do
  xdotool keydown ctrl mousemove --window "$MAIN" $(tile_point $i 72 $((72 + MENU_HEIGHT))) click 1 keyup ctrl
done
xdotool mousemove "${PARK[@]}"
wait_for "photo 1 still in the preview" 5 preview_shows red
key alt+p
wait_for "the Úpravy menu" 10 other_window_shown
key v
APPLY=$(find_window '^Použít na vybrané fotky$')
log "\"Použít na vybrané fotky\" ($APPLY)"
focus "$APPLY"
key Return   # the title and the description, as ticked
wait_for "the dialog to close" 10 no_other_window
for i in 0 1 3 4; do
  wait_for "tile $((i + 1)) marked as titled" 10 mark_is "$i" mark
done
sleep 0.3
xwd -silent -id "$MAIN" | xwdtopnm 2>/dev/null | pnmtopng >"$OVERVIEW_SCREENSHOT" 2>/dev/null \
  || fail "cannot take the screenshot of the overview"
log "screenshot: $OVERVIEW_SCREENSHOT"
focus "$MAIN"
INFO="$OVERVIEW_PHOTOS/info.txt"
key ctrl+s
wait_for "Save to write the overview album's info.txt" 20 test -f "$INFO"
{
  printf '%s\r\n' '[head]' "name=$OVERVIEW_NAME" 'date=1.6.2005' 'desc=' 'rights=0'
  for i in 0 1 2 3 4; do
    case $i in 2) title="Modrá" ;; *) title="Společný nadpis" ;; esac
    printf '%s\r\n' "[P$i]" "title=$title" "name=P$i" "date=$((i + 1)).6.2005" 'desc=' 'rights=0'
  done
} | iconv -f UTF-8 -t WINDOWS-1250 >"$RUN/expected-overview.txt" || fail "iconv cannot make the expected bytes"
compare_info "$RUN/expected-overview.txt" "after the captions given in the overview"
log "info.txt of the overview album: $(stat -c %s "$INFO") bytes, as expected"
key alt+s
wait_for "the Soubor menu" 10 other_window_shown
key z
program_ends "the program with the overview" "$RUN/albisko-overview.log"
