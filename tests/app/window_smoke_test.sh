#!/usr/bin/env bash
# The program with its windows on a virtual display: two clips load into slots 1 and 2, the
# key of slot 1 plays the first, the display panel shows it; the clip inspector, opened on it
# with Ctrl+Q, keys it out, makes it half transparent and narrows it, with the mouse and the
# numeric input box, and the display panel shows each; and closing the window with Alt+F4
# writes the settings. Screenshots (the main window at 1024 x 748 and at 1920 x 1080) are left
# next to the test as artefacts.
set -euo pipefail
program="$1"
artefact="$2"

if [ -z "${WINDOW_SMOKE_DISPLAY:-}" ]; then
  export WINDOW_SMOKE_DISPLAY=1
  exec xvfb-run -a -s "-screen 0 1920x1200x24" bash "$0" "$@"
fi

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" HOME="$home"
export QT_QPA_PLATFORM=xcb
# Where the program's controls are, so that the pointer can find them.
export OSKEL_WIDGET_MAP="$home/widgets.txt"
# The X11 client libraries, D-Bus and the GL driver that Qt loads and unloads keep blocks
# the leak checker cannot name once their modules are gone, and the X keyboard library reads
# the server's unterminated strings with strndup, which the strict string checks flag. Our
# own code is checked fully by every other test, the windows' included (offscreen).
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0:strict_string_checks=0"
fail() { echo "FAIL: $*" >&2; cat "$home/err.txt" >&2 2>/dev/null || true; exit 1; }

# A magenta clip with sound and a green one without.
ffmpeg -v error -f lavfi -i color=c=0xff00ff:size=320x240:rate=25:duration=4 \
  -f lavfi -i sine=frequency=440:duration=4 -c:v mjpeg -q:v 2 -c:a pcm_s16le "$home/magenta.avi"
ffmpeg -v error -f lavfi -i color=c=0x00ff00:size=320x240:rate=25:duration=4 \
  -c:v mjpeg -q:v 2 "$home/green.avi"

"$program" "$home/magenta.avi" "$home/green.avi" > "$home/out.txt" 2> "$home/err.txt" &
pid=$!
window=""
for _ in $(seq 150); do
  window=$(xdotool search --name '^Oskel 3$' 2>/dev/null | head -1) && [ -n "$window" ] && break
  sleep 0.2
done
[ -n "$window" ] || fail "the main window did not appear"

# The display panel: the 384 x 288 drawing window inside the 1024 x 748 main window.
panel_origin() {
  xwininfo -root -tree | awk '
    /"Oskel 3"/ && / 1024x748\+/ { inside = 1; next }
    inside && / 384x288\+/ { split($NF, p, "+"); print p[2], p[3]; exit }'
}
sample() { # x y: the pixel's red, green and blue
  ffmpeg -v error -i "$artefact" -vf "crop=1:1:$1:$2" -f rawvideo -pix_fmt rgb24 - | od -An -tu1
}
grab_screen() {
  ffmpeg -v error -y -f x11grab -draw_mouse 0 -video_size 1920x1200 -i "$DISPLAY" -frames:v 1 "$artefact"
}
# Waits until the display panel's pixel (the centre unless given) is within `tolerance`
# (squared distance) of the expected colour.
wait_for_panel_colour() { # expected "r g b", what it shows, [tolerance], [dx], [dy]
  local r g b tolerance="${3:-48}" dx="${4:-192}" dy="${5:-144}"
  for _ in $(seq 60); do
    grab_screen
    read -r r g b <<<"$(sample $((x + dx)) $((y + dy)))"
    [ "$r $g $b" = "$1" ] && return 0
    # A decoded flat colour may be off by a step or two.
    read -r er eg eb <<<"$1"
    if [ $(( (r - er) * (r - er) + (g - eg) * (g - eg) + (b - eb) * (b - eb) )) -lt "$tolerance" ]; then
      return 0
    fi
    sleep 0.5
  done
  fail "the display panel shows ($r, $g, $b) at ($dx, $dy), not $2"
}
# The main window's top left on the screen, and the centre of one of its controls.
window_origin() {
  xwininfo -root -tree | awk '/"Oskel 3"/ && / [0-9]+x[0-9]+\+/ { split($NF, p, "+"); print p[2], p[3]; exit }'
}
control() { # name [x offset from the left edge]: the point on the screen
  local wx wy
  read -r wx wy <<<"$(window_origin)"
  awk -v n="$1" -v wx="$wx" -v wy="$wy" -v dx="${2:-}" '$1 == n {
      px = (dx == "") ? $2 + int($4 / 2) : $2 + dx
      print wx + px, wy + $3 + int($5 / 2); found = 1; exit }
    END { if (!found) exit 1 }' "$OSKEL_WIDGET_MAP" || fail "no control $1 on the main window"
}
click() { # name
  local cx cy
  read -r cx cy <<<"$(control "$1")"
  xdotool mousemove "$cx" "$cy" click 1
}
# A box of the inspector: its numeric input box comes up, takes the number and Enter.
enter_number() { # box, number
  click "$1"
  local box=""
  for _ in $(seq 50); do
    box=$(xdotool search --name '^Numeric Input$' 2>/dev/null | head -1) && [ -n "$box" ] && break
    sleep 0.1
  done
  [ -n "$box" ] || fail "no numeric input box for $1"
  for _ in $(seq 50); do
    eval "$(xdotool getwindowgeometry --shell "$box")"
    [ "$WIDTH" -gt 50 ] && break
    sleep 0.1
  done
  xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
  sleep 0.5
  xdotool key ctrl+a type "$2"
  xdotool key Return
  for _ in $(seq 50); do
    xdotool search --name '^Numeric Input$' >/dev/null 2>&1 || break
    sleep 0.1
  done
}
# Drags a fader's handle from one point along it to another (pixels from its left edge).
drag_fader() { # name from to
  local fx fy tx ty
  read -r fx fy <<<"$(control "$1" "$2")"
  read -r tx ty <<<"$(control "$1" "$3")"
  xdotool mousemove "$fx" "$fy" mousedown 1 mousemove $(( (fx + tx) / 2 )) "$ty" \
    mousemove "$tx" "$ty" mouseup 1
}
fader_width() { awk -v n="$1" '$1 == n { print $4; exit }' "$OSKEL_WIDGET_MAP"; }
# The main window alone, as a picture.
grab_window() { # width height file
  local wx wy
  read -r wx wy <<<"$(window_origin)"
  ffmpeg -v error -y -f x11grab -draw_mouse 0 -video_size "$1x$2" -i "$DISPLAY+$wx,$wy" \
    -frames:v 1 "$3"
}

# The clips load once the windows are shown; the program says when it is done with them. Keys
# are refused while a clip loads, so the key waits for that line, however long a loaded
# machine takes.
for _ in $(seq 900); do
  grep -q "^Start clips loaded: " "$home/out.txt" && break
  kill -0 "$pid" 2>/dev/null || fail "the program ended while loading its clips"
  sleep 0.1
done
grep -q "^Start clips loaded: 2 of 2$" "$home/out.txt" \
  || fail "the clips did not load: $(cat "$home/out.txt")"
read -r x y <<<"$(panel_origin)"
[ -n "${x:-}" ] || fail "no display panel in the main window"

# Without a window manager the keyboard goes to the window under the pointer.
xdotool mousemove $((x + 192)) $((y + 144))
xdotool key q
wait_for_panel_colour "255 0 255" "the magenta clip of slot 1"

# The clip inspector on slot 1: the luma key above the clip's brightness keys it out, and at 0
# it is back.
xdotool key ctrl+q
sleep 0.5
# The program writes where the controls are again once the page is laid out.
map_written=$(stat -c %y "$OSKEL_WIDGET_MAP")
click "ClipInspectorTabManagerBar:2D"
for _ in $(seq 100); do
  [ "$(stat -c %y "$OSKEL_WIDGET_MAP")" != "$map_written" ] && break
  sleep 0.1
done
sleep 0.3
enter_number ebLuma 600
wait_for_panel_colour "0 0 0" "the clip keyed out"
enter_number ebLuma 0
wait_for_panel_colour "255 0 255" "the clip back from the luma key"

# Opacity half way: the clip over black at half strength.
opacity_width=$(fader_width tbOpacity)
drag_fader tbOpacity 4 $((opacity_width / 2))
wait_for_panel_colour "128 0 128" "the clip at half opacity" 1200
drag_fader tbOpacity $((opacity_width / 2)) 0
wait_for_panel_colour "255 0 255" "the clip opaque again"

# Half the width: the clip no longer covers the panel from edge to edge.
enter_number ebWidth 192
for _ in $(seq 40); do
  grab_screen
  read -r lr lg lb <<<"$(sample $((x + 8)) $((y + 144)))"
  read -r rr rg rb <<<"$(sample $((x + 376)) $((y + 144)))"
  [ $((lr + lg + lb)) -lt 40 ] || [ $((rr + rg + rb)) -lt 40 ] && break
  sleep 0.5
done
[ $((lr + lg + lb)) -lt 40 ] || [ $((rr + rg + rb)) -lt 40 ] \
  || fail "the narrowed clip still fills the panel: ($lr $lg $lb) and ($rr $rg $rb)"

# The main window at its working size and on a large screen.
grab_window 1024 748 "${artefact%.png}_1024x748.png"
read -r home_x home_y <<<"$(window_origin)"
main=""
for candidate in $(xdotool search --onlyvisible --name '^Oskel 3$'); do
  xdotool getwindowgeometry "$candidate" | grep -q 'Geometry: 1024x748' && main=$candidate && break
done
[ -n "$main" ] || fail "the main window is not 1024 x 748"
xdotool windowmove "$main" 0 0 windowsize "$main" 1920 1080
sleep 1.5
grab_window 1920 1080 "${artefact%.png}_1920x1080.png"
xdotool windowsize "$main" 1024 748 windowmove "$main" "$home_x" "$home_y"
sleep 0.5
xdotool mousemove $((x + 192)) $((y + 144))

xdotool key alt+F4
for _ in $(seq 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "Alt+F4 did not close the program"
wait "$pid" || fail "exit status $?"
settings="$home/config/oskel3/oskelstandard.ini"
grep -q '^\[Oskel3MainForm\]$' "$settings" || fail "the main window's place was not written"
echo "window smoke test passed; screenshots: $artefact ${artefact%.png}_1024x748.png ${artefact%.png}_1920x1080.png"
