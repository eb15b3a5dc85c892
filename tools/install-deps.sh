#!/bin/sh
# Installs, with apt, every Debian package the build and the tests need and
# that this machine does not have yet. Safe to run again: it does nothing when
# everything is there. Needs root (or sudo) only when something is missing.
set -eu

native="cmake g++ make git ninja-build googletest libgtest-dev libbenchmark-dev libsqlite3-dev clang-14 libclang-rt-14-dev"
# Both Windows architectures: the i686 tree is the release, the x86_64 tree
# runs the Windows tests where the kernel cannot run 32-bit programs. All of
# them install on every amd64 machine, whether it can run them or not.
windows="g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine32:i386 wine64 xvfb xauth"
# The report's test in a real browser: headless Chromium through ChromeDriver,
# driven by a Python script.
browser="chromium chromium-driver python3"

missing=""
for pkg in $native $windows $browser; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
        missing="$missing $pkg"
    fi
done
[ -z "$missing" ] && exit 0

# Where an earlier run could install everything but 32-bit Wine, every
# later one would try again (a minute or two of apt each time, for each
# make target): the mark in the build folder says it was tried. Remove it
# to try again.
mark="$(cd "$(dirname "$0")/.." && pwd)/build/.wine32-unavailable"
only_i386=yes
for pkg in $missing; do
    case "$pkg" in *:i386) ;; *) only_i386=no ;; esac
done
if [ "$only_i386" = yes ] && [ -f "$mark" ]; then
    echo "install-deps: 32-bit Wine could not be installed before; the Windows tests run under 64-bit Wine (remove $mark to try again)" >&2
    exit 0
fi

echo "Installing missing packages:$missing"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

# wine32 is an i386 package: the foreign architecture must be known to dpkg.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
fi

# A mirror in the middle of a sync serves some package lists with the wrong
# size; apt then keeps the lists it had. A few tries a little apart usually
# get a consistent set; after that the install goes on with what there is.
tries=0
until $SUDO apt-get update -q; do
    tries=$((tries + 1))
    if [ "$tries" -ge 4 ]; then
        echo "install-deps: apt-get update kept failing; installing from the package lists there are" >&2
        break
    fi
    echo "install-deps: apt-get update failed; trying again in 30 s" >&2
    sleep 30
done

install() {
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "$@"
}

if install $missing; then
    rm -f "$mark"
    exit 0
fi

# Without the i386 package lists (the part of a mirror most often out of
# step) 32-bit Wine cannot be installed. Everything else still can: the
# Windows tests then run under 64-bit Wine (tools/windows-arch.sh chooses
# it when 32-bit Wine does not start), and the i686 release is still built
# and its package checked.
rest=""
for pkg in $missing; do
    case "$pkg" in *:i386) ;; *) rest="$rest $pkg" ;; esac
done
if [ "$rest" != "$missing" ] && install $rest; then
    echo "install-deps: 32-bit Wine could not be installed; the Windows tests will run under 64-bit Wine" >&2
    mkdir -p "$(dirname "$mark")" && date > "$mark"
    exit 0
fi
echo "install-deps: the packages could not be installed (see apt's messages above)" >&2
exit 1
