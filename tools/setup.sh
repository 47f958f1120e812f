#!/usr/bin/env bash
# Installs the missing Debian packages of tools/packages.txt, then configures (with any CMake options
# given: ./run passes -DBUILD_TESTING=OFF, ./test ON) and builds into build/.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# ./test names another build folder, and a further package list, for its sanitizer and fuzzing builds.
build="${TRILLORA_BUILD_DIR:-$here/build}"
lists=("$here/tools/packages.txt" ${TRILLORA_MORE_PACKAGES:+"$TRILLORA_MORE_PACKAGES"})

wanted=$(cat "${lists[@]}" | grep -v '^#' | sed '/^[[:space:]]*$/d')
missing=()
for p in $wanted; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -eq 0 ]; then
        sudo=()
    elif command -v sudo >/dev/null 2>&1; then
        sudo=(sudo)
    else
        echo "These packages are missing: ${missing[*]}" >&2
        echo "Install them as root (apt-get install ${missing[*]}), or run this again as root." >&2
        exit 1
    fi
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$build"
