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

missing=""
for pkg in $native $windows; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
        missing="$missing $pkg"
    fi
done
[ -z "$missing" ] && exit 0

echo "Installing missing packages:$missing"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

# wine32 is an i386 package: the foreign architecture must be known to dpkg.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends $missing
