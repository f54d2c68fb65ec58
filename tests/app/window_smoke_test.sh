#!/usr/bin/env bash
# The program with its windows on a virtual display: two clips load into slots 1 and 2, the
# key of slot 1 plays the first, the display panel shows it, and closing the window with
# Alt+F4 writes the settings. The screenshot is left next to the test as an artefact.
set -euo pipefail
program="$1"
artefact="$2"

if [ -z "${WINDOW_SMOKE_DISPLAY:-}" ]; then
  export WINDOW_SMOKE_DISPLAY=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" HOME="$home"
export QT_QPA_PLATFORM=xcb
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
wait_for_panel_colour() { # expected "r g b", what it shows
  local r g b
  for _ in $(seq 60); do
    ffmpeg -v error -y -f x11grab -draw_mouse 0 -video_size 1280x1024 -i "$DISPLAY" -frames:v 1 "$artefact"
    read -r r g b <<<"$(sample $((x + 192)) $((y + 144)))"
    [ "$r $g $b" = "$1" ] && return 0
    # A decoded flat colour may be off by a step or two.
    read -r er eg eb <<<"$1"
    if [ $(( (r - er) * (r - er) + (g - eg) * (g - eg) + (b - eb) * (b - eb) )) -lt 48 ]; then
      return 0
    fi
    sleep 0.5
  done
  fail "the display panel shows ($r, $g, $b), not $2"
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

xdotool key alt+F4
for _ in $(seq 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "Alt+F4 did not close the program"
wait "$pid" || fail "exit status $?"
settings="$home/config/oskel3/oskelstandard.ini"
grep -q '^\[Oskel3MainForm\]$' "$settings" || fail "the main window's place was not written"
echo "window smoke test passed; screenshot: $artefact"
