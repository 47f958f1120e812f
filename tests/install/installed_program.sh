#!/usr/bin/env bash
# The installed program at work: install into a temporary prefix, check the tree and the archive,
# then start the installed copy through bin/trillora on a virtual X display and use it as a person
# would, with keystrokes and clicks. The program takes no arguments and has no test hooks; what it
# did is read from outside: the files it wrote, the windows it opened, the link it handed on, the
# modules it mapped, the sound it played and the pages it asked for.
# The display, the program and the maker's site run in mount and network namespaces of their own:
# there www.trillora.example is a loopback page offering build 19, and nothing leaves the machine.
set -euo pipefail

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# ---- Inside the virtual display: two runs of the installed program.
if [ "${1:-}" = --drive ]; then
    prefix=$2
    work=$3
    folder=$prefix/lib/trillora
    alarms=$folder/sveglia.imptqz
    pid=
    # A failed step must not leave the program behind on the display.
    trap '[ -z "$pid" ] || kill "$pid" 2>/dev/null || true' EXIT

    # The first visible window whose title matches, waiting for it to appear. A search that meets a
    # window going away (the splash closing) ends with an X error, so it is tried again.
    window() {
        local found end=$((SECONDS + 30))
        while [ $SECONDS -lt $end ]; do
            found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1) || true
            [ -z "$found" ] || { echo "$found"; return 0; }
            sleep 0.2
        done
        return 1
    }
    click() {
        xdotool mousemove --window "$1" "$2" "$3" click 1
    }
    # The keyboard focus to a window. xdotool's --sync waits without end for a focus that the program
    # may have moved on meanwhile, so each try is bounded and the focus asked for again.
    focus() {
        local end=$((SECONDS + 10))
        until timeout 1 xdotool windowfocus --sync "$1" 2>/dev/null; do
            [ $SECONDS -lt $end ] || fail "$2 did not take the keyboard focus within 10 s"
        done
    }
    # Until the shell text CONDITION holds, at most 20 s; then fail with WHAT.
    until_true() {
        local end=$((SECONDS + 20))
        until eval "$2"; do
            [ $SECONDS -lt $end ] || fail "$1 within 20 s"
            sleep 0.2
        done
    }
    # What an EWMH window manager records: the active window, and the windows bottom to top.
    recorded_active() {
        xprop -root _NET_ACTIVE_WINDOW | awk '{ print $NF }'
    }
    # Whether the text $1, a stacking order, names window $2 before window $3.
    names_first() {
        [ "$(grep -owE "$(printf '0x%x|0x%x' "$2" "$3")" <<<"$1" | head -n 1)" = "$(printf '0x%x' "$2")" ]
    }
    bells() {
        cat "$work/bells" 2>/dev/null | wc -l
    }
    # The bells once a second has gone by without one: a pattern has ended.
    settled_bells() {
        local before=-1 now
        until now=$(bells) && [ "$now" -eq "$before" ]; do
            before=$now
            sleep 1
        done
        echo "$now"
    }
    # A window manager that keeps the ringing window behind another program's (as KWin's
    # focus-stealing prevention does) while Qt takes it for active: a live check window of its own,
    # and a record naming another program's window (the root window stands for it), until killed.
    # xprop cannot give the properties their types, WINDOW (33) and ATOM (4); Xlib through Python can.
    keeping_behind() {
        python3 - <<'PY' &
import ctypes as c, select
x, L = c.CDLL("libX11.so.6"), c.c_ulong
x.XOpenDisplay.restype = x.XDefaultRootWindow.restype = x.XCreateSimpleWindow.restype = L
d = L(x.XOpenDisplay(None))
root = x.XDefaultRootWindow(d)
check = x.XCreateSimpleWindow(d, L(root), 0, 0, 1, 1, 0, L(0), L(0))
for window, atom, kind, value in ((check, b"_NET_SUPPORTING_WM_CHECK", 33, check), (root, b"_NET_SUPPORTING_WM_CHECK", 33, check),
                                  (root, b"_NET_ACTIVE_WINDOW", 33, root),
                                  (root, b"_NET_SUPPORTED", 4, x.XInternAtom(d, b"_NET_ACTIVE_WINDOW", 0))):
    x.XChangeProperty(d, L(window), L(x.XInternAtom(d, atom, 0)), L(kind), 32, 0, (c.c_long * 1)(value), 1)
x.XFlush(d)
select.select([x.XConnectionNumber(d)], [], [])  # until killed, or the display goes
PY
        keeper=$!
    }
    # An alarm for the current minute, not in a minute's last seconds (it might be set for one gone).
    ring() {
        while [ "$(date +%S)" -ge 55 ]; do sleep 1; done
        xdotool type --delay 50 "$(date +%H%M)"
        xdotool key Return
        ringing=$(window '^Trillora$') || true
        [ -n "$ringing" ] || fail "$1"
    }
    # "Scarica", which is enabled once the check has ended, asks the site for the download.
    download_asked() {
        click "$version" 236 66 && sleep 0.3 && grep -q '^/prg/trilor.exe$' "$work/site.log"
    }
    # Until the window whose title matches is gone.
    gone() {
        timeout 10 bash -c "while xdotool search --onlyvisible --name '$1' >/dev/null 2>&1; do sleep 0.2; done" ||
            fail "$2 did not go within 10 s"
    }
    start() {
        # Started from another folder: the working folder must play no part. HOME is ALSA's, whose
        # configuration there writes what is played to a file.
        (cd "$work/elsewhere" && exec env QT_QPA_PLATFORM=xcb PATH="$work/shell:$PATH" HOME="$work/home" \
            "$prefix/bin/trillora") >>"$work/program.log" 2>&1 &
        pid=$!
        # A check to make while the splash stands, if any.
        "$@"
        # The splash stands for ten seconds before the main window.
        main=$(window '^TQZ_Trillora$') || fail "the main window did not come up"
        [ -n "$main" ] || fail "the main window did not come up"
        focus "$main" "the main window"
    }
    # A window manager tells a window's frame only after mapping it; the first window, the splash, is
    # centred again once its own frame is known, title bar included. The manager is gone before the
    # main window comes, which is then driven on a bare display as before.
    splash_centred_in_a_frame() {
        local splash client frame X Y WIDTH HEIGHT end=$((SECONDS + 10))
        splash=$(window '^Caricamento') || fail "the splash did not come up"
        client=$(xwininfo -id "$splash" | awk '/^  Height:/ { print $2 }') || fail "the splash went at once"
        # The frame is the window the manager put the splash into, taller than it by the title bar.
        until frame=$(xwininfo -id "$splash" -tree | awk '/Parent window id/ && !/root window/ { print $4 }') &&
            eval "$(xdotool getwindowgeometry --shell "$frame")" && [ "$HEIGHT" -gt "$client" ] &&
            [ $(((2 * X + WIDTH - 1024) ** 2)) -le 1 ] && [ $(((2 * Y + HEIGHT - 768) ** 2)) -le 1 ]; do
            [ $SECONDS -lt $end ] || fail "the splash's frame is not centred on 1024x768: ${frame:-none} at $X,$Y ${WIDTH}x$HEIGHT"
            sleep 0.2
        done
        kill "$wm"
    }
    # The confirmation box after a save, answered with Enter.
    confirm_save() {
        local box
        box=$(window '^Messaggio\.$') || fail "no confirmation after saving"
        focus "$box" "the confirmation box"
        xdotool key Return
        gone '^Messaggio\.$' "the confirmation box"
        focus "$main" "the main window"
    }
    quit() {
        click "$main" 344 98 # "Esci"
        timeout 20 tail --pid="$pid" -f /dev/null || fail "the program did not end on Esci"
    }
    windows_titled() {
        xdotool search --onlyvisible --name "$1" 2>/dev/null || true
    }
    # An error box has the application's title, as the main window has.
    no_error_box() {
        [ "$(windows_titled '^TQZ_Trillora$' | wc -l)" -eq 1 ] || fail "an error box came up: $(cat "$work/program.log")"
    }
    # The module from the installed folder, in the running program.
    expect_module() {
        timeout 20 bash -c "until grep -q ' $folder/$1\$' /proc/$pid/maps; do sleep 0.2; done" ||
            fail "$1 was not loaded from $folder"
    }
    expect_file() {
        printf "$1" >"$work/expected"
        cmp -s "$work/expected" "$alarms" ||
            fail "$alarms holds $(od -c "$alarms" 2>&1 | head -n 3), expected $(od -c "$work/expected" | head -n 3)"
    }

    # First run: one alarm and the speaker, saved in the program's own folder.
    # twm, with the X server's own font and a frame without border around dialogs too.
    { echo DecorateTransients; echo BorderWidth 0
      printf '%s "fixed"\n' TitleFont MenuFont IconFont ResizeFont IconManagerFont; } >"$work/twmrc"
    twm -f "$work/twmrc" >/dev/null 2>&1 &
    wm=$!
    start splash_centred_in_a_frame
    xdotool type --delay 50 0730
    xdotool key Return
    click "$main" 191 15 # "Casse" becomes "Speaker"
    click "$main" 141 98 # "Salva impostazioni"
    confirm_save
    expect_file '07\r\n30\r\n*\r\n*\r\n*\r\n*\r\n*\r\n*\r\n*\r\n*\r\nSpeaker\r\nMaggiore\r\n'

    # From here a real window manager keeps its record of the active window, and another program
    # has a window of its own.
    XDG_CONFIG_HOME="$work" openbox >/dev/null 2>&1 & # its own defaults, not the user's
    wm=$!
    xmessage -title Altro -geometry 200x60+800+600 altro >/dev/null 2>&1 &
    altro=$(window '^Altro$') || fail "the other program's window did not come up"
    until_true "openbox keeps no record" '[ "$(recorded_active)" != "" ] && xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'
    focus "$main" "the main window"

    # An alarm for the current minute rings at once, through the sound module: ten passes of three
    # tones. "Chiudi" is clicked in the first second, and the user goes to the other program while
    # the click waits for the pattern's end: the window closes then, and the main window comes
    # neither to the focus nor over the other program, though Qt asks to activate the clicked window.
    ring "the alarm did not ring"
    sleep 0.4
    click "$ringing" 33 78 # "Chiudi"
    xdotool windowactivate "$altro"
    gone '^Trillora$' "the ringing window"
    expect_module trillora-sound.so
    until_true "the alarm played nothing" '[ "$(stat -c %s "$work/home/played.wav" 2>/dev/null || echo 0)" -gt 10000 ]'
    sleep 0.5
    [ "$(recorded_active)" = "$(printf '0x%x' "$altro")" ] || fail "the main window was activated from the background"
    # The window manager's stacking order runs bottom to top.
    names_first "$(xprop -root _NET_CLIENT_LIST_STACKING)" "$main" "$altro" ||
        fail "the main window was raised over the program the user went to"
    no_error_box
    focus "$main" "the main window"

    # The version check against the loopback site finds build 19: "Scarica" is enabled, and its
    # click asks the site for the download.
    click "$main" 84 15
    version=$(window '^Check for available updates$') || true
    [ -n "$version" ] || fail "the version window did not come up"
    question=$(window '^Richiesta\.$') || true
    [ -n "$question" ] || fail "the version window did not ask before going on line"
    focus "$question" "the question before going on line"
    xdotool key Return
    timeout 20 bash -c "until grep -q '^/index.php?show=ctrlvers&prg=TQZ_Trillora\$' '$work/site.log'; do sleep 0.2; done" ||
        fail "the version page was not asked for"
    expect_module trillora-network.so
    until_true "no download after the check" download_asked
    download=$(window '^Scaricamento$') || true
    [ -n "$download" ] || fail "no download window"
    timeout 20 bash -c "until [ -s '$work/home/Downloads/trilor.exe' ]; do sleep 0.2; done" || fail "the download was not saved"
    focus "$download" "the download window"
    xdotool key Escape
    no_error_box
    click "$version" 372 67 # its close button
    gone '^Check for available updates$' "the version window"
    focus "$main" "the main window"

    # F1 hands the help page beside the executable to the desktop.
    xdotool key F1
    timeout 10 bash -c "until [ -s '$work/opened' ]; do sleep 0.2; done" || fail "F1 opened nothing"
    [ "$(cat "$work/opened")" = "file://$folder/help.html" ] || fail "F1 opened $(cat "$work/opened")"

    # The tables beside the executable say English: the bug report window comes up translated.
    click "$main" 111 15
    bug=$(window '^Bug report to the TQZ team$') || true
    [ -n "$bug" ] || fail "the bug report window did not come up in English: $(xdotool search --onlyvisible --name . getwindowname %@ 2>&1 | tr '\n' '|')"
    focus "$bug" "the bug report window"
    xdotool key Escape
    focus "$main" "the main window"
    quit

    # Second run, after an update replaced the executable under the running program, as package
    # tools do, and without the sound module: the saved alarm loads, one for this minute rings
    # through the X server's bell (heard through XKB's notices, a bell a tone) and says why once,
    # a new one joins, and the save lands in the same file.
    printf 'Bell() shell "echo >> %s/bells"\n' "$work" >"$work/xkbevd.cfg"
    xkbevd -cfg "$work/xkbevd.cfg" >/dev/null 2>&1 &
    mv "$folder/trillora-sound.so" "$work/"
    start
    cp "$folder/trillora" "$work/update" && mv -f "$work/update" "$folder/trillora"
    click "$main" 260 98 # "Carica impostazioni"
    ring "the alarm did not ring without the sound module"
    until_true "no bell stood in for the tones" '[ "$(bells)" -ge 3 ]'
    until_true "no error box for the missing sound module" '[ "$(windows_titled "^TQZ_Trillora\$" | wc -l)" -eq 2 ]'
    box=$(windows_titled '^TQZ_Trillora$' | grep -vx "$main" | head -n 1)
    focus "$box" "the error box"
    xdotool key Return
    # The focus back from another window of the program plays the pattern again; back from
    # another program, it does not.
    until_true "the pattern did not end" '[ "$(bells)" -ge 30 ]'
    played=$(settled_bells)
    xdotool windowactivate --sync "$main"
    xdotool windowactivate --sync "$ringing"
    until_true "the focus back from the main window played nothing" '[ "$(bells)" -ge $((played + 30)) ]'
    played=$(settled_bells)
    xdotool windowactivate --sync "$altro"
    xdotool windowactivate --sync "$ringing"
    sleep 1.5
    [ "$(bells)" -eq "$played" ] || fail "the focus back from another program played again: $(bells) bells, not $played"
    # "Chiudi" clicked after the pattern: the main window is active with the hour field focused.
    click "$ringing" 33 78 # "Chiudi"
    until_true "the main window was not activated after Chiudi" '[ "$(recorded_active)" = "$(printf "0x%x" "$main")" ]'
    # The window manager exits, leaving its record naming the other program: no longer believed,
    # Qt's own focus tells that the user clicked "Chiudi" in the program.
    xdotool windowactivate --sync "$altro"
    kill "$wm"
    sleep 0.5
    xdotool windowraise "$altro"
    focus "$main" "the main window"
    ring "the alarm did not ring without a window manager"
    until_true "the pattern did not end" '[ "$(bells)" -ge $((played + 30)) ]'
    click "$ringing" 33 78 # "Chiudi"
    until_true "the main window was not activated after Chiudi without a window manager" \
        '[ "$(xdotool getwindowfocus)" = "$main" ]'
    # And brought to the front: above the other program's window among the root's windows, top first.
    names_first "$(xwininfo -root -children)" "$main" "$altro" || fail "the main window was not brought to the front"
    # Its record believed over Qt's focus: "Chiudi" in a window kept behind asks nothing.
    focus "$main" "the main window"
    ring "the alarm did not ring for the window manager that keeps it behind"
    keeping_behind
    until_true "the pattern did not end" '[ "$(bells)" -ge $((played + 60)) ]'
    click "$ringing" 33 78 # "Chiudi"
    gone '^Trillora$' "the ringing window"
    sleep 0.5
    [ "$(xdotool getwindowfocus)" != "$main" ] || fail "the main window was activated from behind another program"
    kill "$keeper"
    mv "$work/trillora-sound.so" "$folder/"
    focus "$main" "the main window"
    xdotool type --delay 50 2205
    xdotool key Return
    click "$main" 141 98
    confirm_save
    expect_file '07\r\n30\r\n22\r\n05\r\n*\r\n*\r\n*\r\n*\r\n*\r\n*\r\nSpeaker\r\nMaggiore\r\n'
    quit
    exit 0
fi

# ---- In the namespaces: the loopback site and a display of their own, then the two runs.
if [ "${1:-}" = --inside ]; then
    prefix=$2
    work=$3
    ip link set lo up
    mount --bind "$work/hosts" /etc/hosts
    : >"$work/site.log"
    python3 "$work/site.py" "$work/site.log" 2>"$work/site.err" &
    site=$!
    trap 'kill "$site" 2>/dev/null || true' EXIT
    timeout 10 bash -c 'until (exec 3<>/dev/tcp/127.0.0.1/80) 2>/dev/null; do sleep 0.2; done' ||
        fail "no loopback site: $(cat "$work/site.err")"
    # Xvfb picks a free display number itself.
    # Without -noreset the server resets when its last client goes (between the program's two runs),
    # and a client that connects meanwhile is refused.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
    xvfb=$!
    trap 'kill "$xvfb" "$site" 2>/dev/null || true' EXIT
    timeout 20 bash -c "until [ -s '$work/display' ]; do sleep 0.1; done" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
    DISPLAY=":$(cat "$work/display")" "$0" --drive "$prefix" "$work"
    exit
fi

# ---- Outside: install, check what was installed, then drive the program.
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
folder=$prefix/lib/trillora

cmake --install "$build" --prefix "$prefix" >/dev/null
[ "$(readlink "$prefix/bin/trillora")" = ../lib/trillora/trillora ] || fail "bin/trillora is not the relative link"
for f in trillora trillora-wake trillora-sound.so trillora-network.so help.html impostazioni.db lingua.db trillora.png; do
    [ -f "$folder/$f" ] || fail "$f is not in lib/trillora"
done
[ -x "$folder/trillora" ] || fail "the installed program is not executable"
for size in 16 32 48 64 128 256; do
    png=$prefix/share/icons/hicolor/${size}x${size}/apps/trillora.png
    # Width and height stand in the PNG header as two big-endian words from byte 16.
    [ "$(od -An -tu1 -j16 -N8 "$png" | tr -s ' ')" = " 0 0 $((size / 256)) $((size % 256)) 0 0 $((size / 256)) $((size % 256))" ] ||
        fail "$png is not ${size}x${size}"
done
[ -f "$prefix/share/icons/hicolor/scalable/apps/trillora.svg" ] || fail "no scalable icon"
# The metainfo against the tree it was installed with (its desktop entry must be there).
appstreamcli validate-tree --no-net "$prefix" >"$work/validate.log" 2>&1 || fail "$(cat "$work/validate.log")"
# The menu entry starts the program by its absolute path, quoted where the path needs it: a session
# whose PATH lacks bin/ shows it all the same. Each entry passes the validator without a remark.
exec_line() {
    [ "$(grep '^Exec=' "$1")" = "Exec=$2" ] || fail "$1 says $(grep '^Exec=' "$1"), not Exec=$2"
    desktop-file-validate "$1" >"$work/entry.log" 2>&1 && [ ! -s "$work/entry.log" ] || fail "$(cat "$work/entry.log")"
}
exec_line "$prefix/share/applications/trillora.desktop" "$prefix/bin/trillora"
odd=$work/'a b"c$d'
cmake --install "$build" --prefix "$odd" >/dev/null
exec_line "$odd/share/applications/trillora.desktop" "\"$work"'/a b\\"c\\$d/bin/trillora"'

# The language is chosen by hand in the installed settings table; installing again keeps it.
sqlite3 "$folder/impostazioni.db" "update impostazioni set LINGUA='English'"
cmake --install "$build" --prefix "$prefix" >/dev/null
[ "$(sqlite3 "$folder/impostazioni.db" 'select LINGUA from impostazioni')" = English ] ||
    fail "installing again reset the language"

# The portable archive holds the same tree under one folder, the link still relative.
cpack -G TGZ --config "$build/CPackConfig.cmake" -B "$work/pack" >"$work/cpack.log" 2>&1 || fail "$(cat "$work/cpack.log")"
archive=$(ls "$work"/pack/trillora-*.tar.gz)
top=$(basename "$archive" .tar.gz)
tar -tvzf "$archive" >"$work/archive.txt"
grep -q " $top/bin/trillora -> ../lib/trillora/trillora\$" "$work/archive.txt" || fail "no relative link in the archive"
for f in trillora trillora-wake trillora-sound.so trillora-network.so help.html impostazioni.db lingua.db trillora.png; do
    grep -q " $top/lib/trillora/$f\$" "$work/archive.txt" || fail "$f is not in the archive"
done
# Where the archive will be unpacked is unknown: its menu entry starts the program by name.
tar -xzOf "$archive" "$top/share/applications/trillora.desktop" >"$work/archive.desktop"
exec_line "$work/archive.desktop" trillora

# The desktop's opener is stood in for by one that only notes what it was given.
mkdir -p "$work/shell" "$work/elsewhere" "$work/home"
printf '#!/bin/sh\nprintf %%s "$1" > "%s/opened"\n' "$work" >"$work/shell/xdg-open"
chmod +x "$work/shell/xdg-open"
# What the program plays goes to a file, never to a loudspeaker.
printf 'pcm.!default { type file slave.pcm "null" file "%s/home/played.wav" format "wav" }\n' "$work" >"$work/home/.asoundrc"

# The maker's site: the version page, and a small file for the download; every request noted.
printf '127.0.0.1 localhost www.trillora.example\n' >"$work/hosts"
cat >"$work/site.py" <<'PY'
import http.server
import sys

LOG = sys.argv[1]
PAGE = b"<html><body><h1>Trillora</h1><p>Versione - 19</p></body></html>"

class Site(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        with open(LOG, "a") as log:
            log.write(self.path + "\n")
        if self.path.startswith("/index.php?show=ctrlvers"):
            body, kind = PAGE, "text/html; charset=windows-1252"
        elif self.path == "/prg/trilor.exe":
            body, kind = b"MZ" + bytes(1000), "application/octet-stream"
        else:
            self.send_error(404)
            return
        self.send_response(200)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass

http.server.HTTPServer(("127.0.0.1", 80), Site).serve_forever()
PY

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(--map-root-user)
unshare "${as_root[@]}" --mount --net "$0" --inside "$prefix" "$work" || {
    echo "--- program output" >&2
    cat "$work/program.log" >&2 || true
    exit 1
}
echo "installed program: layout, archive, help page, tables, save and load, both modules all as expected"
