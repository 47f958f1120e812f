#!/usr/bin/env bash
# Fetches, at build time, the kernel that linux-image-amd64 stands for, for the wake test's virtual
# machine: downloaded with apt-get, unpacked with dpkg-deb, never installed.
#   fetch_kernel.sh CACHE    keeps CACHE/<package>_<version>.vmlinuz, fetching only when that changes
# A failed fetch does not stop the build: an earlier kernel stays, or else the test fails and says why.
set -euo pipefail
cache=$1
why=$cache/not-fetched.txt

# Whichever step fails, the build goes on; the reason stays in $why, where the test reads it.
not_fetched() {
    rm -rf "$cache/unpack" "$cache"/*.deb
    echo "warning: the wake test's kernel was not fetched: $(cat "$why" 2>/dev/null)" >&2
    exit 0
}
trap not_fetched ERR

package=$(apt-cache depends linux-image-amd64 2>/dev/null | awk '/Depends: linux-image-/ { print $2 }' | head -n 1) || true
version=$(apt-cache policy "$package" 2>/dev/null | awk '/Candidate:/ { print $2 }') || true
kernel=$cache/${package}_$version.vmlinuz
[ ! -s "$kernel" ] || exit 0
mkdir -p "$cache"
if [ -z "$package" ] || [ -z "$version" ] || [ "$version" = "(none)" ]; then
    echo "apt knows no kernel for linux-image-amd64 (apt-get update?)" >"$why"
    not_fetched
fi
echo "Fetching $package $version for the wake test"
rm -rf "$cache/unpack" "$cache"/*.deb
# As root, apt would hand the download to its own user, who may not write into the build tree.
(cd "$cache" && apt-get download -o APT::Sandbox::User="$(id -un)" "$package=$version") >"$why" 2>&1
dpkg-deb -x "$cache/${package}_"*.deb "$cache/unpack" 2>>"$why"
# rtc-cmos is built into Debian's kernel, so the guest needs no modules.
mv "$cache/unpack/boot/vmlinuz-${package#linux-image-}" "$kernel" 2>>"$why"
rm -rf "$cache/unpack" "$cache"/*.deb "$why" || true
find "$cache" -name '*.vmlinuz' ! -name "${kernel##*/}" -delete || true
