#!/usr/bin/env bash
# The program starts, answers --help and --version, and writes its settings file when it is
# asked to end, keeping what the file held before.
set -euo pipefail
program="$1"
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" HOME="$home"

fail() { echo "FAIL: $*" >&2; exit 1; }

"$program" --help | grep -q "Usage: oskel3" || fail "--help"
"$program" --version | grep -Eq "^oskel3 [0-9]+\.[0-9]+" || fail "--version"
if "$program" --bogus 2>/dev/null; then fail "an unknown option must fail"; fi

mkdir -p "$home/config/oskel3"
printf '[Globals]\nLocale=fr\nBPM=97\n[Mine]\nkept=yes\n' > "$home/config/oskel3/oskelstandard.ini"

"$program" --no-window > "$home/out.txt" 2> "$home/err.txt" &
pid=$!
for _ in $(seq 100); do
  grep -q "Ready ... " "$home/out.txt" && break
  sleep 0.1
done
grep -q "Ready ... " "$home/out.txt" || fail "no ready status: $(cat "$home/out.txt" "$home/err.txt")"
kill -TERM "$pid"
wait "$pid" || fail "exit status $?"

settings="$home/config/oskel3/oskelstandard.ini"
grep -q "^Locale=fr$" "$settings" || fail "locale not written back"
grep -q "^BPM=97$" "$settings" || fail "tempo not written back"
grep -q "^kept=yes$" "$settings" || fail "a foreign key was lost"
grep -q "^\[MIDIcontrollers\]$" "$settings" || fail "controller assignments not written"
# With a clip: it loads through the frame clock, and the program still ends cleanly.
if command -v ffmpeg >/dev/null; then
  ffmpeg -v error -f lavfi -i testsrc2=size=160x120:rate=25:duration=1 \
    -f lavfi -i sine=frequency=440:duration=1 -c:v mjpeg -c:a pcm_s16le "$home/clip.avi"
  "$program" --no-window --load 1="$home/clip.avi" --load 17=nowhere.avi > "$home/out2.txt" 2> "$home/err2.txt" \
    && fail "a slot number outside 1..16 must be refused"
  "$program" --no-window --load 1="$home/clip.avi" > "$home/out2.txt" 2> "$home/err2.txt" &
  pid=$!
  # The frame clock has made the clip's textures ("Ready" again) and freed the loader.
  for _ in $(seq 300); do
    grep -q "^Start clips loaded: " "$home/out2.txt" && break
    sleep 0.1
  done
  grep -q "^Start clips loaded: 1 of 1$" "$home/out2.txt" || fail "the clip did not load: $(cat "$home/out2.txt" "$home/err2.txt")"
  [ "$(grep -c "Ready ... " "$home/out2.txt")" -ge 2 ] || fail "no ready status after the load: $(cat "$home/out2.txt")"
  kill -TERM "$pid"
  wait "$pid" || fail "exit status $? with a clip loaded: $(cat "$home/err2.txt")"
  grep -q "unable to load" "$home/err2.txt" && fail "load failed: $(cat "$home/err2.txt")"

  # A patch named on the command line loads at start, its clip next to it; the patch is
  # remembered as the last one.
  mkdir -p "$home/show"
  cp "$home/clip.avi" "$home/show/beach.avi"
  printf '[Version]\nOKP=Low1\n[Filenames]\n1=beach.avi\n[LumaKeyLevels]\n1=200\n' > "$home/show/show.okp"
  "$program" --no-window "$home/show/show.okp" > "$home/out3.txt" 2> "$home/err3.txt" &
  pid=$!
  for _ in $(seq 300); do
    grep -q "^Patch loaded: " "$home/out3.txt" && break
    sleep 0.1
  done
  grep -q "^Patch loaded: $home/show/show.okp$" "$home/out3.txt" \
    || fail "the patch did not load: $(cat "$home/out3.txt" "$home/err3.txt")"
  kill -TERM "$pid"
  wait "$pid" || fail "exit status $? with a patch loaded: $(cat "$home/err3.txt")"
  grep -q "^Patch=$home/show/show.okp$" "$settings" || fail "the patch is not remembered"
fi
echo "smoke test passed"
