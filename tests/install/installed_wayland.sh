#!/usr/bin/env bash
# The installed program natively on a real Wayland compositor: a headless sway, run as an ordinary
# user (sway refuses root), whose seat has no device until a virtual pointer (wlroots' protocol,
# spoken by a few lines of Python below) and, for each typing, wtype's virtual keyboard join it.
# The program starts on that bare seat, keeps its memory while the pointer crosses it, and after an
# alarm closed by a click or by Alt+F4 the main window has the focus back from another program.
set -euo pipefail
fail() {
    echo "FAIL: $*" >&2
    tail -n 5 "$work/program.log" >&2 2>/dev/null || true
    [ -z "${display:-}" ] || for title in TQZ_Trillora Trillora Altro; do echo "$title: $(window $title)"; done >&2
    exit 1
}
build=$(cd "$1" && pwd)
work=$(mktemp -d)
started=()
trap 'kill "${started[@]}" 2>/dev/null || true; wait "${started[@]}" 2>/dev/null || true; rm -rf "$work"' EXIT
chmod 755 "$work"
mkdir -m 700 "$work/run" "$work/home"
cmake --install "$build" --prefix "$work/prefix" >/dev/null
printf 'pcm.!default { type file slave.pcm "null" file "%s/home/played.wav" format "wav" }\n' "$work" >"$work/home/.asoundrc"
user=()
if [ "$(id -u)" -eq 0 ]; then
    chown -R nobody:nogroup "$work/run" "$work/home"
    user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
session=(env -i PATH="$PATH" HOME="$work/home" XDG_RUNTIME_DIR="$work/run")
as_user() { "${user[@]}" "${session[@]}" "$@"; }
# Started from here, not from a function run in the background: its pid is the process's own.
in_background() { "${user[@]}" "${session[@]}" "$@" & started+=($!); }
{ echo 'output HEADLESS-1 resolution 1024x768 position 0 0'
  echo 'default_border none'; echo 'default_floating_border none'; echo 'xwayland disable'
  echo 'for_window [title=".*"] floating enable'; echo 'focus_on_window_activation focus'
  echo 'bindsym Mod1+F4 kill'; } >"$work/sway.conf"
in_background WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman sway -c "$work/sway.conf" \
    >"$work/sway.log" 2>&1
timeout 20 bash -c "until [ -S '$work/run/wayland-1' ] && ls '$work'/run/sway-ipc.*.sock; do sleep 0.2; done" >/dev/null 2>&1 ||
    fail "sway did not start: $(cat "$work/sway.log")"
# The clients of that compositor.
display=(WAYLAND_DISPLAY=wayland-1 SWAYSOCK="$(ls "$work"/run/sway-ipc.*.sock)")
client() { as_user "${display[@]}" "$@"; }

# Until the shell text CONDITION holds, at most $3 s (20); then fail with WHAT.
until_true() {
    local end=$((SECONDS + ${3:-20}))
    until eval "$2"; do
        [ $SECONDS -lt $end ] || fail "$1 within ${3:-20} s"
        sleep 0.2
    done
}
# "x y focused urgent" of the shown window titled $1, from sway's tree; nothing when none is shown.
window() {
    client swaymsg -t get_tree | python3 -c '
import json, sys
def walk(n):
    yield n
    for c in n["nodes"] + n["floating_nodes"]: yield from walk(c)
for n in walk(json.load(sys.stdin)):
    if n["name"] == sys.argv[1] and n.get("pid"): print(n["rect"]["x"], n["rect"]["y"], int(n["focused"]), int(n["urgent"]))' "$1"
}
focused() { [ "$(window "$1" | cut -d' ' -f3)" = 1 ]; }
focus() { until_true "$1 did not take the focus" "client swaymsg '[title=\"^$1\$\"] focus' >/dev/null; focused '$1'"; }

# Another program's window, which has the focus when each alarm comes.
in_background "${display[@]}" foot --title Altro sleep 1000 >/dev/null 2>&1
until_true "the other program's window did not come up" '[ -n "$(window Altro)" ]'

# Started on a seat without a pointer or a keyboard, it starts and stays.
in_background "${display[@]}" QT_QPA_PLATFORM=wayland "$work/prefix/bin/trillora" >"$work/program.log" 2>&1
program=$!
until_true "the main window did not come up" '[ -n "$(window TQZ_Trillora)" ]' 30

# The pointer joins the seat; crossing the main window's edge thousands of times keeps no memory.
cat >"$work/pointer.py" <<'PY'
import os, socket, struct, sys
s, buf, ids = socket.socket(socket.AF_UNIX), b"", iter(range(2, 1 << 30))
s.connect(os.path.join(os.environ["XDG_RUNTIME_DIR"], os.environ["WAYLAND_DISPLAY"]))
def send(obj, op, *args):
    body = b"".join(struct.pack("=I", a) if isinstance(a, int) else struct.pack("=I", len(a) + 1) + a + bytes(4 - len(a) % 4) for a in args)
    s.sendall(struct.pack("=II", obj, (8 + len(body)) << 16 | op) + body)
def sync():  # the events up to a round trip
    global buf
    done, events = next(ids), []
    send(1, 0, done)
    while not events or events[-1][0] != done:
        while len(buf) < 8 or len(buf) < struct.unpack_from("=I", buf, 4)[0] >> 16:
            buf += s.recv(65536)
        size = struct.unpack_from("=I", buf, 4)[0] >> 16
        events.append((*struct.unpack_from("=I", buf), struct.unpack_from("=I", buf, 4)[0] & 0xFFFF, buf[8:size]))
        buf = buf[size:]
        if events[-1][:2] == (1, 0): sys.exit("protocol error")
    return events
registry = next(ids)
send(1, 1, registry)
names = {b[8:8 + struct.unpack_from("=I", b, 4)[0] - 1]: struct.unpack_from("=I", b)[0] for o, op, b in sync() if o == registry}
seat, manager, pointer = next(ids), next(ids), next(ids)
for global_, object_ in (b"wl_seat", seat), (b"zwlr_virtual_pointer_manager_v1", manager):
    send(registry, 0, names[global_], global_, 1, object_)
send(manager, 0, seat, pointer)
def to(x, y): send(pointer, 1, 0, x, y, 1024, 768); send(pointer, 4)
for line in sys.stdin:  # "to X Y", "click", "cross TIMES X1 Y1 X2 Y2" (at the pace of a hand, not of a flood)
    word, *n = line.split()
    if word == "to": to(*map(int, n))
    elif word == "click": [(send(pointer, 2, 0, 0x110, state), send(pointer, 4)) for state in (1, 0)]
    else: [(to(*map(int, n[1:3])), to(*map(int, n[3:5])), i % 10 or sync()) for i in range(int(n[0]) // 2)]
    sync()
    print("ok", flush=True)
PY
coproc pointer { client python3 "$work/pointer.py"; }
pointer_does() {
    echo "$*" >&"${pointer[1]}"
    read -r -t 60 answer <&"${pointer[0]}" && [ "$answer" = ok ] || fail "the virtual pointer did not $*"
}
rss() { awk '/^VmRSS/ { print $2 }' "/proc/$program/status"; }
read -r x y _ <<<"$(window TQZ_Trillora)"
pointer_does cross 2000 $((x + 100)) $((y + 50)) $((x - 20)) $((y + 50))
before=$(rss)
pointer_does cross 40000 $((x + 100)) $((y + 50)) $((x - 20)) $((y + 50))
sleep 1
kill -0 $program 2>/dev/null || fail "the program ended when the pointer came"
grown=$(($(rss) - before))
# AddressSanitizer keeps what is freed aside for a while: the bound is for a plain build.
grep -q __asan_init "$work/prefix/lib/trillora/trillora" || [ $grown -le 2048 ] || fail "40000 crossings of the pointer took $grown KiB"

# A keyboard that stays, as a real one does: each typing below joins it with another for a moment.
in_background "${display[@]}" wtype -s 600000
# An alarm for the current minute, set in the main window, rings while the other program has the focus.
ring() {
    while [ "$(date +%S)" -ge 50 ]; do sleep 1; done
    focus TQZ_Trillora
    client wtype -s 300 "$(date +%H%M)" -k Return
    focus Altro
    until_true "the alarm did not ring" '[ -n "$(window Trillora)" ]'
    # As sway gives a new window the focus; again, should the alarm have come before the other program had it.
    focus Trillora
    read -r x y _ <<<"$(window Trillora)"
}
ring
pointer_does to $((x + 33)) $((y + 78))
pointer_does click # "Chiudi", in the pattern's first second
until_true "the ringing window did not close on Chiudi" '[ -z "$(window Trillora)" ]'
until_true "the main window did not get the focus back after Chiudi" 'focused TQZ_Trillora' 5
ring
client wtype -s 300 -P Alt_L -M alt -k F4 -m alt -p Alt_L
until_true "the ringing window did not close on Alt+F4" '[ -z "$(window Trillora)" ]'
until_true "the main window did not get the focus back after Alt+F4" 'focused TQZ_Trillora' 5
# Closed by its 50 seconds, it asks for nothing: the focus stays where the compositor puts it, no flag.
ring
until_true "the ringing window did not close by itself" '[ -z "$(window Trillora)" ]' 70
sleep 1
[ "$(window TQZ_Trillora | cut -d' ' -f3-)" = "0 0" ] || fail "the main window was focused or flagged by the 50 s close"
kill -0 $program 2>/dev/null || fail "the program ended"
echo "installed program on Wayland: a bare seat, memory kept ($grown KiB after 40000 crossings), the focus back after a click and Alt+F4, nothing asked after 50 s"
