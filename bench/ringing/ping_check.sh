#!/usr/bin/env bash
# The ringing window's liveness while it sounds, as a desktop sees it. A private Xvfb runs the
# program (the build's own unless another is named); an alarm is typed in for the current minute,
# with the default sound (Casse, Maggiore); bench_ping_answer pings the ringing window from its
# mapping; each sound stream the program opens goes to a file of its own through ALSA, and sox
# gives its length.
#   bench/ringing/ping_check.sh BUILD [PROGRAM]      (packages xvfb, xdotool, sox)
set -euo pipefail
build=$(cd "$1" && pwd)
program=${2:-$build/trillora}
work=$(mktemp -d)
xvfb= pid=
trap 'kill $pid $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT

mkdir -m 700 "$work/home"
mkdir "$work/played"
# Every stream the program opens (one per message sound, one for a run of tones) is piped to a file
# of its own, named by the time it began.
printf '#!/bin/sh\ncat >"%s/played/$(date +%%s.%%N).wav"\n' "$work" >"$work/capture"
chmod +x "$work/capture"
printf 'pcm.!default { type file slave.pcm "null" file "|%s/capture" format "wav" }\n' "$work" >"$work/home/.asoundrc"

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
timeout 20 bash -c "until [ -s '$work/display' ]; do sleep 0.1; done"
export DISPLAY=":$(cat "$work/display")"

env QT_QPA_PLATFORM=xcb HOME="$work/home" XDG_RUNTIME_DIR="$work/home" "$program" >"$work/program.log" 2>&1 &
pid=$!
# The splash stands for ten seconds before the main window.
main=
for _ in $(seq 150); do
    main=$(xdotool search --onlyvisible --name '^TQZ_Trillora$' 2>/dev/null | head -n 1) || true
    [ -z "$main" ] || break
    sleep 0.2
done
[ -n "$main" ] || { echo "the main window did not come up" >&2; exit 1; }
xdotool windowfocus --sync "$main"
# Not in a minute's last seconds, or the alarm might be set for a minute already gone.
while [ "$(date +%S)" -ge 50 ]; do sleep 1; done
"$build/bench/ringing/bench_ping_answer" >"$work/ping.log" &
pinger=$!
sleep 0.5
xdotool type --delay 50 "$(date +%H%M)"
xdotool key Return
status=0
wait $pinger || status=$?
cat "$work/ping.log"
sleep 1
# Each stream: when it began after the first one, and how long it lasts.
first=
for f in "$work"/played/*.wav; do
    [ -e "$f" ] || { echo "nothing was played: $(cat "$work/program.log")" >&2; exit 1; }
    at=$(basename "$f" .wav)
    first=${first:-$at}
    printf 'stream at +%6.3f s: %s s\n' "$(awk "BEGIN { print $at - $first }")" \
        "$(sox --ignore-length "$f" -n stat 2>&1 | sed -n 's/^Length (seconds): *//p')"
done
exit $status
