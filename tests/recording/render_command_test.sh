#!/usr/bin/env bash
# The program as a performer uses it: a performance recorded while the instrument runs, then
# rendered to an AVI on the headless drawing surface and read back with ffprobe; and the exit
# statuses of a render that cannot start or cannot finish.
set -euo pipefail
program="$1"
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" HOME="$home"
cd "$home"

fail() { echo "FAIL: $*" >&2; exit 1; }
probe() { ffprobe -v error -count_frames -select_streams "$2" -show_entries "$3" -of default=nw=1:nk=1 "$1"; }

if ! command -v ffmpeg >/dev/null || ! command -v ffprobe >/dev/null; then
  echo "the ffmpeg tools are missing: skipped"
  exit 0
fi
ffmpeg -v error -f lavfi -i testsrc2=size=160x120:rate=25:duration=2 \
  -f lavfi -i sine=frequency=440:duration=2 -ac 2 -c:v mjpeg -c:a pcm_s16le clip.avi

"$program" render --help | grep -q "Usage: oskel3 render" || fail "render --help"

# Recording: the clip load, with its time, in a file that names the clip beside it.
"$program" --load 1=clip.avi --record show.txt > out.txt 2> err.txt &
pid=$!
for _ in $(seq 100); do
  [ "$(grep -c "Ready ... " out.txt)" -ge 2 ] && grep -q "Start clips loaded" out.txt && break
  sleep 0.1
done
# Until the instrument is up, an end signal ends it at once, unsaved: it is given a moment
# past the start clips, whose report comes just before.
sleep 1
kill -TERM "$pid"
wait "$pid" || fail "recording run ended with $?: $(cat err.txt)"
grep -Eq "^[0-9]+ load 1 clip.avi$" show.txt || fail "the load was not recorded: $(cat show.txt)"

# Rendering it, with a trigger added.
echo "100 event 0 0 64 1" >> show.txt
"$program" render --script show.txt --seconds 1.2 --out take.avi > out.txt 2> err.txt \
  || fail "render ended with $?: $(cat err.txt)"
grep -q "Rendering Frame 30/30" err.txt || fail "no progress line: $(cat err.txt)"
[ "$(probe take.avi v:0 stream=nb_read_frames)" = 30 ] || fail "frame count"
[ "$(probe take.avi v:0 stream=r_frame_rate)" = 25/1 ] || fail "frame rate"
[ "$(probe take.avi v:0 stream=width,height | tr '\n' x)" = 384x288x ] || fail "picture size"
[ "$(probe take.avi a:0 stream=codec_name,sample_rate,channels | tr '\n' ' ')" = "pcm_s16le 44100 2 " ] \
  || fail "sound stream"
duration=$(ffprobe -v error -show_entries format=duration -of default=nw=1:nk=1 take.avi)
[ "$duration" = 1.200000 ] || fail "duration $duration"
# The picture moves once the clip is triggered: two frames far apart differ.
ffmpeg -v error -i take.avi -vf "select=eq(n\,5)+eq(n\,25)" -vsync 0 -f image2 shot-%d.png
cmp -s shot-1.png shot-2.png && fail "the picture did not change"

# FFmpeg's own log shows its errors only, unless more is asked for: the scaler's warning about
# the pixel format MJPEG decodes to is hidden, then shown, escaped, through ours.
grep -q "deprecated pixel format" err.txt && fail "FFmpeg's warning shown by default: $(cat err.txt)"
OSKEL_FFMPEG_LOG=warning "$program" render --script show.txt --frames 3 --out warned.avi \
  > out.txt 2> err.txt || fail "render with warnings ended with $?: $(cat err.txt)"
grep -q "oskel3: FFmpeg: \[swscaler @ [0-9a-fx]*\] deprecated pixel format" err.txt \
  || fail "no FFmpeg warning when asked for: $(cat err.txt)"
OSKEL_FFMPEG_LOG=loud "$program" render --script show.txt --frames 3 --out loud.avi \
  > out.txt 2> err.txt || fail "render with a bad log level ended with $?: $(cat err.txt)"
grep -q 'OSKEL_FFMPEG_LOG="loud" is not quiet, error, warning or info' err.txt \
  || fail "bad log level message: $(cat err.txt)"

# A performance line that cannot be read: status 2, the file and line named, nothing written.
printf '0 event 0 0 64 1\n40 evnt 1\n' > bad.txt
status=0
"$program" render --script bad.txt --frames 5 --out bad.avi 2> err.txt || status=$?
[ "$status" = 2 ] || fail "a bad line gave status $status"
grep -q "bad.txt, line 2: \"evnt\" is not a kind of line" err.txt || fail "bad line message: $(cat err.txt)"
[ -e bad.avi ] && fail "a render was written for a bad performance"

# A missing output folder: status 1.
status=0
"$program" render --script show.txt --frames 5 --out missing/take.avi 2> err.txt || status=$?
[ "$status" = 1 ] || fail "a missing folder gave status $status"
grep -q "The output folder missing does not exist" err.txt || fail "missing folder message: $(cat err.txt)"

# A disk that fills up halfway: status 1, and no file that looks complete.
status=0
(trap '' XFSZ; ulimit -f 4000; exec "$program" render --script show.txt --frames 50 --out full.avi) \
  2> err.txt || status=$?
[ "$status" = 1 ] || fail "a full disk gave status $status"
grep -q "File too large" err.txt || fail "full disk message: $(cat err.txt)"
ls full.avi* 2>/dev/null && fail "a partial file was left"
# Streamed as it is made to a receiver on this machine, which writes down what it gets.
port=$(python3 -c 'import socket; s=socket.socket(socket.AF_INET, socket.SOCK_DGRAM); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
ffmpeg -nostdin -v error -i "udp://127.0.0.1:$port?timeout=8000000" -map 0 -c copy -f mpegts got.ts \
  2> receiver.txt &
receiver=$!
hexport=$(printf ':%04X ' "$port")
for _ in $(seq 200); do
  grep -q "$hexport" /proc/net/udp && break
  sleep 0.05
done
"$program" render --script show.txt --frames 25 --out streamed.avi --stream "udp://127.0.0.1:$port" \
  > out.txt 2> err.txt || fail "streamed render ended with $?: $(cat err.txt)"
grep -q "Streaming to udp://127.0.0.1:$port" err.txt || fail "no stream line: $(cat err.txt)"
wait "$receiver" || true
# ffprobe lists an MPEG-TS file's streams twice, once under its program: the first listing.
[ "$(probe got.ts v:0 stream=width,height | head -n 2 | tr '\n' x)" = 384x288x ] \
  || fail "streamed picture size: $(cat receiver.txt)"
# Pictures the compressor was too slow for are dropped, never waited for: those sent arrive.
sent=$(sed -n 's/^Streamed \([0-9]*\) frames, \([0-9]*\) dropped$/\1+\2/p' out.txt)
[ "$((sent))" = 25 ] || fail "sent and dropped frames: $(cat out.txt)"
[ "${sent%+*}" -ge 1 ] || fail "no frame sent"
[ "$(probe got.ts v:0 stream=nb_read_frames | head -n 1)" -ge "$((${sent%+*} - 1))" ] \
  || fail "streamed frames: $(probe got.ts v:0 stream=nb_read_frames | head -n 1) of $sent"
[ "$(probe got.ts a:0 stream=codec_name,sample_rate,channels | head -n 3 | tr '\n' ' ')" \
  = "aac 44100 2 " ] || fail "streamed sound"
[ "$(probe streamed.avi v:0 stream=nb_read_frames)" = 25 ] || fail "the file beside the stream"

# An address that is no stream: status 1, said in our words, nothing rendered.
status=0
"$program" render --script show.txt --frames 5 --out nostream.avi --stream file:///tmp/x.ts \
  2> err.txt || status=$?
[ "$status" = 1 ] || fail "a file address gave status $status"
grep -q "must start with udp://, srt://, rtmp:// or rtmps://" err.txt || fail "bad address message: $(cat err.txt)"
echo "render command test passed"
