#!/bin/sh
# make demo: the reader beside the simulated game, under Wine.
#   tools/demo.sh TREE [SCENARIO [TURN]]
# TREE is a Windows build tree (build/win32 or build/win64) whose programs
# run here.
#
# With a display, both programs open for you: press "Read from Vandor!" in
# the reader and enter the turn. Without one, the capture runs by itself
# under Xvfb, prints what the reader captured, shows the stored turn as
# vandormsg-archive prints it and saves screenshots. Any step that fails
# ends the demo with an error.
set -eu
tree=$1
scenario=${2:-sim/scenarios/english.scenario}
turn=${3:-2401}
demo=$tree/demo
run="$tree/wine-run"

fail() {
    echo "make demo: $*" >&2
    exit 1
}

[ -f "$scenario" ] || fail "no scenario file $scenario"
mkdir -p "$demo"
cp "$tree/win32/vandormsg.exe" "$tree/win32/vandor-sim.exe" "$tree/cli/vandormsg-archive.exe" "$demo/"
"$run" --init || fail "Wine cannot start the programs of $tree"

if [ -n "${DISPLAY:-}" ]; then
    echo "The simulated game and the reader open now."
    echo "Press \"Read from Vandor!\" in the reader and enter turn $turn; Quit ends the demo."
    "$run" "$demo/vandor-sim.exe" "$scenario" &
    "$run" "$demo/vandormsg.exe" || fail "the reader ended with an error"
    "$run" --kill
else
    echo "No display: the demo runs the capture by itself under Xvfb."
    rm -f "$demo/capture.txt"
    xvfb-run -a -s "-screen 0 1024x768x24" "$run" --session \
        "$run" "$tree/win32/reader-demo.exe" "$demo" "$scenario" "$turn" ||
        fail "the capture did not run to its end (see above)"
    # The game, race and turn the reader stored, in UTF-8; Wine reads the
    # program's arguments in the locale's encoding.
    { read -r game && read -r race && read -r stored; } <"$demo/capture.txt" ||
        fail "the capture left no $demo/capture.txt"
    echo
    echo "The turn as the archive keeps it (vandormsg-archive show):"
    LC_ALL=C.UTF-8 "$run" "$demo/vandormsg-archive.exe" --root "$demo" show "$game" "$race" "$stored" \
        >"$demo/shown.txt" || fail "vandormsg-archive show \"$game\" $race $stored failed"
    # The archive's texts are code page 1252; the terminal wants UTF-8.
    iconv -f CP1252 -t UTF-8 "$demo/shown.txt" | tr -d '\r'
    echo "Screenshots: $demo/main-window.png and $demo/simulated-game.png"
fi
echo "The archive of the demo: $demo/DATA"
