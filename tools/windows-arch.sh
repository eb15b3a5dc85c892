#!/bin/sh
# Prints the Windows architecture whose programs the tests, the demo and the
# benchmarks run here under Wine: i686 (32-bit Wine) where this machine runs
# 32-bit programs, x86_64 (64-bit Wine) where it does not. The release
# program is the i686 one either way.
#
# It decides by trying: it starts the 32-bit Wine loader, which fails with
# "Exec format error" on kernels without 32-bit support. WINDOWS_ARCH=i686
# or WINDOWS_ARCH=x86_64 forces the choice; a forced i686 that cannot run
# here is an error.
set -u

# Debian keeps the two loaders in /usr/lib/wine; its `wine` script on the
# PATH would fall back to the 64-bit one, so it is not asked there.
if [ -d /usr/lib/wine ]; then
    loader32=/usr/lib/wine/wine
    loader64=/usr/lib/wine/wine64
else
    loader32=$(command -v wine || echo wine)
    loader64=$(command -v wine64 || echo wine64)
fi

# Succeeds when the loader starts; its own output lands in $answer.
runs() {
    answer=$("$1" --version 2>&1) && return 0
    answer=$(printf '%s' "$answer" | tail -n 1)
    return 1
}

case "${WINDOWS_ARCH:-}" in
    "")
        if runs "$loader32"; then
            echo i686
        elif runs "$loader64"; then
            echo x86_64
        else
            echo "Wine cannot start here: $answer" >&2
            echo "Install it with tools/install-deps.sh (as root)." >&2
            exit 1
        fi
        ;;
    i686)
        if ! runs "$loader32"; then
            echo "WINDOWS_ARCH=i686: this machine cannot run 32-bit Windows programs" >&2
            echo "(the 32-bit Wine loader $loader32 answers: $answer)." >&2
            echo "Use WINDOWS_ARCH=x86_64, or leave WINDOWS_ARCH unset to choose by itself." >&2
            exit 1
        fi
        echo i686
        ;;
    x86_64)
        if ! runs "$loader64"; then
            echo "WINDOWS_ARCH=x86_64: 64-bit Wine does not start here" >&2
            echo "(the loader $loader64 answers: $answer)." >&2
            exit 1
        fi
        echo x86_64
        ;;
    *)
        echo "WINDOWS_ARCH must be i686 or x86_64, not \"$WINDOWS_ARCH\"" >&2
        exit 2
        ;;
esac
