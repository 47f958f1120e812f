#!/usr/bin/env bash
# The installed program natively on a real compositor: a headless sway run as an ordinary user (sway
# refuses root), whose seat has no device until a virtual pointer (wlroots' protocol, spoken below in
# a few lines of Python) and wtype's keyboards join it. The program starts on the bare seat, keeps
# its memory while the pointer crosses it, and after an alarm closed by a click or by Alt+F4 the
# main window has the focus back from another program's; after the 50 s close, nothing.
set -euo pipefail
fail() {
    echo "FAIL: $*" >&2
    tail -n 5 "$work/program.log" >&2 2>/dev/null || true
    [ -z "${display:-}" ] || for title in TQZ_Trillora Trillora Altro; do echo "$title: $(window $title)"; done >&2
    exit 1
}
work=$(mktemp -d)
started=()
trap 'kill "${started[@]}" 2>/dev/null || true; wait "${started[@]}" 2>/dev/null || true; rm -rf "$work"' EXIT
chmod 755 "$work" && mkdir -m 700 "$work/run" "$work/home"
cmake --install "$1" --prefix "$work/prefix" >/dev/null
printf 'pcm.!default { type file slave.pcm "null" file "%s/home/played.wav" format "wav" }\n' "$work" >"$work/home/.asoundrc"
user=()
[ "$(id -u)" -ne 0 ] || { chown -R nobody:nogroup "$work/run" "$work/home"; user=(setpriv --reuid=nobody --regid=nogroup --clear-groups); }
as_user() { "${user[@]}" env -i PATH="$PATH" HOME="$work/home" XDG_RUNTIME_DIR="$work/run" "$@"; }
# Started here, not in a function run in the background: $! is the process itself.
in_background() { "${user[@]}" env -i PATH="$PATH" HOME="$work/home" XDG_RUNTIME_DIR="$work/run" "$@" & started+=($!); }
printf '%s\n' 'output HEADLESS-1 resolution 1024x768' 'default_border none' 'default_floating_border none' \
    'xwayland disable' 'for_window [title=".*"] floating enable' 'focus_on_window_activation focus' \
    'bindsym Mod1+F4 kill' >"$work/sway.conf"
in_background WLR_BACKENDS=headless WLR_RENDERER=pixman sway -c "$work/sway.conf" >"$work/sway.log" 2>&1
timeout 20 bash -c "until ls '$work'/run/sway-ipc.*.sock; do sleep 0.2; done" >/dev/null 2>&1 || fail "no sway: $(cat "$work/sway.log")"
display=(WAYLAND_DISPLAY=wayland-1 SWAYSOCK="$(ls "$work"/run/sway-ipc.*.sock)")
client() { as_user "${display[@]}" "$@"; }
until_true() { # WHAT CONDITION [SECONDS]
    local end=$((SECONDS + ${3:-20}))
    until eval "$2"; do [ $SECONDS -lt $end ] || fail "$1 within ${3:-20} s"; sleep 0.2; done
}
# "x y focused urgent" of the shown window titled $1; nothing when none is.
window() {
    client swaymsg -t get_tree | python3 -c 'import json, sys
def walk(n): return [n] + [m for c in n["nodes"] + n["floating_nodes"] for m in walk(c)]
for n in walk(json.load(sys.stdin)):
    if n["name"] == sys.argv[1] and n.get("pid"): print(n["rect"]["x"], n["rect"]["y"], int(n["focused"]), int(n["urgent"]))' "$1"
}
focused() { [ "$(window "$1" | cut -d' ' -f3)" = 1 ]; }
focus() { until_true "$1 did not take the focus" "client swaymsg '[title=\"^$1\$\"] focus' >/dev/null; focused '$1'"; }

in_background "${display[@]}" foot --title Altro sleep 1000 >/dev/null 2>&1
in_background "${display[@]}" QT_QPA_PLATFORM=wayland "$work/prefix/bin/trillora" >"$work/program.log" 2>&1
program=$!
until_true "the main window did not come up on a seat without devices" '[ -n "$(window TQZ_Trillora)" ]' 30

# The virtual pointer: made at start, then told how many times to cross between two points.
cat >"$work/pointer.py" <<'PY'
import os, socket, struct, sys, time
s, data, ids = socket.socket(socket.AF_UNIX), b"", iter(range(2, 1 << 30))
s.connect(os.environ["XDG_RUNTIME_DIR"] + "/wayland-1")
def send(obj, op, *args):  # numbers and strings, as the wire has them
    body = b"".join(struct.pack("=I", a) if isinstance(a, int) else struct.pack("=I", len(a) + 1) + a + bytes(4 - len(a) % 4) for a in args)
    s.sendall(struct.pack("=II", obj, 8 + len(body) << 16 | op) + body)
def sync():  # the events, as (object, body), up to the compositor's answer to a round trip
    global data
    events, done = [], next(ids)
    send(1, 0, done)
    while not events or events[-1][0] != done:
        while len(data) < 8 or len(data) < struct.unpack_from("=I", data, 4)[0] >> 16: data += s.recv(65536) or sys.exit("closed")
        size = struct.unpack_from("=I", data, 4)[0] >> 16
        events, data = events + [(struct.unpack_from("=I", data)[0], data[8:size])], data[size:]
    return events
registry = next(ids)
send(1, 1, registry)
names = {b[8:7 + struct.unpack_from("=I", b, 4)[0]]: struct.unpack_from("=I", b)[0] for o, b in sync() if o == registry}
seat, manager, pointer = next(ids), next(ids), next(ids)
send(registry, 0, names[b"wl_seat"], b"wl_seat", 1, seat)
send(registry, 0, names[b"zwlr_virtual_pointer_manager_v1"], b"zwlr_virtual_pointer_manager_v1", 1, manager)
send(manager, 0, seat, pointer)
for line in sys.stdin:  # "TIMES X1 Y1 X2 Y2", at most 5000 a second: a busy hand, not a flood a client cannot read
    n = list(map(int, line.split()))
    for i in range(n[0]):
        send(pointer, 1, 0, *n[1 + i % 2 * 2:3 + i % 2 * 2], 1024, 768)  # motion_absolute
        send(pointer, 4)  # frame
        i % 20 or (sync(), time.sleep(0.004))
    sync()
    print("ok", flush=True)
PY
coproc pointer { client python3 "$work/pointer.py"; }
cross() {
    read -r x y _ <<<"$(window TQZ_Trillora)"
    echo "$1 $((x + 100)) $((y + 50)) $((x - 20)) $((y + 50))" >&"${pointer[1]}"
    read -r -t 60 answer <&"${pointer[0]}" && [ "$answer" = ok ] || fail "the virtual pointer did not move"
}
rss() { awk '/^VmRSS/ { print $2 }' "/proc/$program/status" || fail "the program ended"; }
cross 4000
before=$(rss)
cross 40000
grown=$(($(rss) - before))
# AddressSanitizer keeps what is freed aside for a while: the bound is for a plain build.
grep -q __asan_init "$work/prefix/lib/trillora/trillora" || [ $grown -le 2048 ] || fail "40000 crossings took $grown KiB"

# A keyboard that stays, as a real one does; each typing joins it with another for a moment.
in_background "${display[@]}" wtype -s 600000
# An alarm for this minute, set in the main window, rings while the other program has the focus.
ring() {
    while [ "$(date +%S)" -ge 50 ]; do sleep 1; done
    focus TQZ_Trillora
    client wtype -s 300 "$(date +%H%M)" -k Return
    focus Altro
    until_true "the alarm did not ring" '[ -n "$(window Trillora)" ]'
    focus Trillora # as sway gives a new window the focus; again, should the alarm have come first
}
closed_by() {
    until_true "the ringing window did not close on $1" '[ -z "$(window Trillora)" ]' "${2:-20}"
    sleep 1
    [ "$(window TQZ_Trillora | cut -d' ' -f3-)" = "$3" ] || fail "after $1 the main window is not '$3' (focused, urgent)"
}
ring
read -r x y _ <<<"$(window Trillora)"
client swaymsg seat - cursor set $((x + 33)) $((y + 78)) >/dev/null
client swaymsg seat - cursor press button1 >/dev/null
client swaymsg seat - cursor release button1 >/dev/null
client swaymsg seat - cursor set 5 5 >/dev/null # off the window while the click waits for the pattern's end
closed_by Chiudi 20 "1 0"
ring
client wtype -s 300 -P Alt_L -M alt -k F4 -m alt -p Alt_L
closed_by Alt+F4 20 "1 0"
ring
closed_by "its 50 seconds" 70 "0 0"
echo "installed program on Wayland: a bare seat, $grown KiB after 40000 crossings, the focus back after a click and Alt+F4 only"
