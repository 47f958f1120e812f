#!/usr/bin/env bash
# The Debian package as a user gets it, in a fresh system of its release (tools/package runs this
# inside that root): installed with apt, which brings what it depends on and recommends; its menu
# entry, the wake helper's capability, kept by a reinstall and by dpkg --verify; the program
# started by the entry's command as an ordinary user, up to its main window after the splash, and
# its alarms saved into that user's own folder; then removal, which leaves no file of the package,
# and purge, which leaves nothing of it in /etc or /var, the user's own alarm file untouched.
set -euo pipefail
deb=$1

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
quiet() {
    "$@" >/tmp/step.log 2>&1 || fail "$* failed: $(tail -n 20 /tmp/step.log)"
}
export DEBIAN_FRONTEND=noninteractive

# What the checks need themselves, apart from the package.
quiet apt-get update
quiet apt-get install -y --no-install-recommends xvfb xauth x11-utils xdotool desktop-file-utils libcap2-bin passwd
quiet apt-get install -y "$deb"
dpkg -L trillora >/tmp/files
entry=/usr/share/applications/trillora.desktop
[ "$(grep '^Exec=' "$entry")" = Exec=/usr/bin/trillora ] || fail "the menu entry says $(grep '^Exec=' "$entry")"
desktop-file-validate "$entry" || fail "the menu entry is not valid"
helper=/usr/lib/trillora/trillora-wake
has_capability() {
    getcap "$helper" | grep -q 'cap_wake_alarm=ep'
}
has_capability || fail "the wake helper lacks its capability: $(getcap "$helper")"
quiet apt-get install -y --reinstall "$deb"
has_capability || fail "a reinstall took the wake helper's capability away"
dpkg --verify trillora || fail "dpkg --verify finds the installed files changed"

# Started as the menu starts it, by an ordinary user, who presses "Salva impostazioni": the
# program's folder is the system's, so the file goes into the user's configuration folder, which the
# save makes open to that user alone.
useradd --create-home utente
home=$(getent passwd utente | cut -d: -f6)
program=$(sed -n 's/^Exec=//p' "$entry")
runuser -u utente -- env HOME="$home" xvfb-run -a -s '-screen 0 1024x768x24' bash -c '
    "$1" >"$HOME/program.log" 2>&1 &
    for _ in $(seq 120); do
        main=$(xdotool search --onlyvisible --name "^TQZ_Trillora$" 2>/dev/null | head -n 1) && [ -n "$main" ] && break
        sleep 0.25
    done
    [ -n "$main" ] || exit 1
    xdotool mousemove --window "$main" 141 98 click 1
    for _ in $(seq 40); do
        [ -f "$HOME/.config/trillora/sveglia.imptqz" ] && { sleep 0.5; kill $!; exit 0; }
        sleep 0.25
    done
    exit 2' main "$program" || fail "the main window did not come up or saved nothing: $(cat "$home/program.log")"
saved=$home/.config/trillora/sveglia.imptqz
for folder in "$home/.config" "$home/.config/trillora"; do
    [ "$(stat -c %a:%U "$folder")" = 700:utente ] || fail "$folder was made $(stat -c %a:%U "$folder")"
done
[ ! -e /usr/lib/trillora/sveglia.imptqz ] || fail "the program saved under /usr"
cp "$saved" /tmp/saved

quiet apt-get remove -y trillora
while read -r file; do
    [ ! -f "$file" ] && [ ! -L "$file" ] || fail "$file is left after the package's removal"
done </tmp/files
# The package has no configuration files and its scripts make none: after the purge dpkg knows
# nothing of it, and nothing in /etc or /var bears its name. (What the packages apt brought for it
# made stays with them.)
quiet dpkg --purge trillora
[ -z "$(dpkg-query -W -f='${db:Status-Abbrev}' trillora 2>/dev/null | tr -d ' ')" ] || fail "dpkg still knows the package"
left=$(find /etc /var -xdev -iname '*trillora*' -not -path '/var/cache/apt/*')
[ -z "$left" ] || fail "the purge left in /etc or /var: $left"
cmp -s /tmp/saved "$saved" || fail "the user's alarm file was touched"
echo "installed package: menu entry, capability, start, removal and purge all as expected"
