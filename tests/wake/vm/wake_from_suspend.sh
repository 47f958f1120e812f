#!/usr/bin/env bash
# The wake helper on a real kernel: Debian's own kernel boots in QEMU with a busybox initramfs that
# holds the helper, suspends to RAM, and QEMU's monitor (QMP) tells when the guest sleeps and wakes.
#   wake_from_suspend.sh HELPER CACHE    HELPER statically linked, CACHE where the build put the kernel
# Each case boots afresh: after a resume SeaBIOS 1.16 leaves the ICH9 LPC config bytes 0x40-0x44 at
# their reset values, so a second suspend in the same boot would come back at once.
set -euo pipefail
helper=$1
cache=$2
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
end=$((SECONDS + 225)) # the whole test stays under four minutes

skip() {
    echo "SKIP: $*"
    exit 77
}
fail() {
    echo "FAIL: $*" >&2
    [ -z "${name:-}" ] || {
        echo "--- what the guest reported:" && cat "$work/$name.reports"
        echo "--- the end of its console:" && tail -n 25 "$work/$name.console"
        echo "--- QEMU:" && cat "$work/$name.qemu"
    } >&2 2>/dev/null
    exit 1
}

command -v qemu-system-x86_64 >/dev/null || skip "qemu-system-x86_64 is missing (package qemu-system-x86)"
dpkg-query -W -f='${Status}' busybox-static 2>/dev/null | grep -q 'install ok installed' ||
    skip "the guest needs a static busybox (package busybox-static)"
work=$(mktemp -d)
vm_pid=
trap '[ -z "$vm_pid" ] || kill "$vm_pid" 2>/dev/null; rm -rf "$work"' EXIT
echo '{"execute": "qmp_capabilities"} {"execute": "quit"}' |
    timeout 30 qemu-system-x86_64 -machine q35 -accel tcg -nodefaults -display none -S -qmp stdio \
        >/dev/null 2>"$work/probe" || skip "QEMU cannot run here: $(cat "$work/probe")"

# Debian's kernel, fetched by the build (fetch_kernel.sh).
kernels=("$cache"/*.vmlinuz)
kernel=${kernels[0]}
[ -s "$kernel" ] || fail "the build fetched no kernel into $cache: $(cat "$cache/not-fetched.txt" 2>/dev/null)"

# The initramfs: busybox, the helper, and setpriv with the libraries it is linked with.
mkdir -p "$work/root/bin" "$work/root/usr/bin"
cp /bin/busybox "$work/root/bin/"
cp "$here/init" "$work/root/init"
cp "$helper" "$work/root/trillora-wake"
cp "$(command -v setpriv)" "$work/root/usr/bin/"
for library in $(ldd "$(command -v setpriv)" | grep -o '/[^ ]*'); do
    cp --parents "$library" "$work/root"
done
(cd "$work/root" && find . | busybox cpio -o -H newc -R 0:0 >"$work/initramfs" 2>/dev/null)

# Boots the guest for case $1 with accelerator $2 and kernel arguments $3. Its monitor (QMP) is read
# from qmp_in and written to qmp_out: copies that outlive the coprocess's own descriptors, so that
# a QEMU that ended reads as the end of its output.
boot() {
    name=$1
    coproc vm {
        exec qemu-system-x86_64 -machine q35 -global ICH9-LPC.disable_s3=0 -accel "$2" -m 256 \
            -nodefaults -display none -no-reboot -kernel "$kernel" -initrd "$work/initramfs" \
            -append "console=ttyS0 quiet panic=-1 $3 -- $name" \
            -serial "file:$work/$name.console" -serial "file:$work/$name.reports" -qmp stdio 2>"$work/$name.qemu"
    }
    vm_pid=$vm_PID
    exec {qmp_in}<&"${vm[0]}" {qmp_out}>&"${vm[1]}"
    echo '{"execute": "qmp_capabilities"}' >&$qmp_out
}
quit() {
    echo '{"execute": "quit"}' >&$qmp_out
    stopped
}
# For a guest that does not answer: QEMU ended by its process id.
stop() {
    kill "$vm_pid"
    stopped
}
stopped() {
    wait "$vm_pid" || true
    vm_pid=
    exec {qmp_in}<&- {qmp_out}>&-
}
# The sooner of now + $1 seconds and the end of the test.
within() {
    local t=$((SECONDS + $1))
    echo $((t < end ? t : end))
}
# Waits until second $2 for the QMP event $1; `at` gets its host time in milliseconds.
await() {
    local line
    while [ "$SECONDS" -lt "$2" ] && read -r -t $(($2 - SECONDS)) -u $qmp_in line; do
        if [[ $line =~ \"seconds\":\ ([0-9]+),\ \"microseconds\":\ ([0-9]+)\},\ \"event\":\ \"$1\" ]]; then
            at=$((BASH_REMATCH[1] * 1000 + BASH_REMATCH[2] / 1000))
            return 0
        fi
    done
    return 1
}
# What the guest reported as "$1 VALUE", waiting for it until second $2 while QEMU runs.
reported() {
    local value
    until value=$(tr -d '\r' 2>/dev/null <"$work/$name.reports" | sed -n "s/^$1 //p") && [ -n "$value" ]; do
        [ "$SECONDS" -lt "$2" ] && kill -0 "$vm_pid" 2>/dev/null || return 1
        sleep 0.2
    done
    echo "$value"
}
seconds() {
    printf '%d.%02d s' $(($1 / 1000)) $(($1 % 1000 / 10))
}

# Case 3 first, the shortest: it also tells whether KVM boots a guest here. It did not on machines
# whose /dev/kvm comes from a paravirtual module, so TCG is the fallback.
started=$SECONDS
accel=tcg
cases=
refused() {
    boot refused "$1" initcall_blacklist=cmos_init
    without_capability=$(reported without-capability "$(within "$2")") || return 1
    without_clock=$(reported without-clock "$(within 10)") || fail "no status without a clock"
    quit
}
if [ -r /dev/kvm ] && [ -w /dev/kvm ]; then
    if refused kvm 20; then
        accel=kvm
    else
        stop
        echo "KVM did not bring the guest up in 20 s: TCG from here"
    fi
fi
[ $accel = kvm ] || refused tcg 90 || fail "the guest did not come up"
[ "$without_capability" = 3 ] || fail "without the capability the helper ended with $without_capability, not 3"
[ "$without_clock" = 4 ] || fail "without a real-time clock the helper ended with $without_clock, not 4"
echo "Case 3: without the capability status 3, without a real-time clock status 4 ($accel, $((SECONDS - started)) s)"
cases="refused $((SECONDS - started)) s"

# Case 1: armed 20 s ahead, the guest wakes by itself at that second. The guest's clock follows the
# RTC, whose seconds lag the host's by the fraction at which QEMU started it, and the kernel rounds
# the alarm up to a whole second: the wake comes 0 to 2 s after the armed second of host time.
started=$SECONDS
boot wakes $accel ""
await SUSPEND "$(within 90)" || fail "the guest did not suspend"
armed=$(reported armed "$(within 5)") || fail "the guest did not report the armed second"
asleep=$at
await WAKEUP "$(within $((armed - $(date +%s) + 10)))" ||
    fail "the guest was not woken by the alarm armed for $(date -d "@$armed" +%T)"
late=$((at - armed * 1000))
[ $late -ge 0 ] && [ $late -le 2000 ] || fail "woken $late ms after the armed second, not within 2 s"
status=$(reported helper-status "$(within 60)") || fail "the guest did not run again after the wake"
[ "$status" = 0 ] || fail "the helper ended with $status after the wake, not 0"
quit
echo "Case 1: armed $(date -d "@$armed" +%T), asleep $(seconds $((armed * 1000 - asleep))) before," \
    "woken by itself $(seconds $late) after it ($accel, $((SECONDS - started)) s)"
cases="$cases, wakes $((SECONDS - started)) s"

# Case 2: armed, then off: the guest sleeps on until the test wakes it.
started=$SECONDS
boot stays $accel ""
await SUSPEND "$(within 90)" || fail "the guest did not suspend"
reported armed "$(within 5)" >/dev/null || fail "the guest did not report the armed second"
sleep_until=$((SECONDS + 40))
! await WAKEUP "$(within 40)" || fail "the guest woke by itself although the alarm was off"
kill -0 "$vm_pid" 2>/dev/null || fail "QEMU ended while the guest slept"
[ "$SECONDS" -ge $sleep_until ] || fail "out of time before 40 s of sleep"
echo '{"execute": "system_wakeup"}' >&$qmp_out
await WAKEUP "$(within 10)" || fail "system_wakeup did not wake the guest"
status=$(reported helper-status "$(within 60)") || fail "the guest did not run again after the wake"
[ "$status" = 0 ] || fail "the helper ended with $status after the wake, not 0"
quit
echo "Case 2: no wake in 40 s with the alarm off; the test then woke the guest through QMP system_wakeup" \
    "($accel, $((SECONDS - started)) s)"
cases="$cases, stays $((SECONDS - started)) s"
echo "Times: $cases; all $SECONDS s"
