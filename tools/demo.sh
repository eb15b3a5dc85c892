#!/bin/sh
# make demo: the reader beside the simulated game, under Wine.
#
# With a display, both programs open for you: press "Read from Vandor!" in
# the reader and enter turn 2401. Without one, the capture runs by itself
# under Xvfb, prints what the reader captured and saves screenshots.
set -eu
win32=$1
scenario=${2:-sim/scenarios/english.scenario}
demo=$win32/demo

mkdir -p "$demo"
cp "$win32/win32/vandormsg.exe" "$win32/win32/vandor-sim.exe" "$win32/cli/vandormsg-archive.exe" "$demo/"
run="$win32/wine-run"
"$run" --init

if [ -n "${DISPLAY:-}" ]; then
    echo "The simulated game and the reader open now."
    echo "Press \"Read from Vandor!\" in the reader and enter turn 2401; Quit ends the demo."
    "$run" "$demo/vandor-sim.exe" "$scenario" &
    "$run" "$demo/vandormsg.exe"
    "$run" --kill
else
    echo "No display: the demo runs the capture by itself under Xvfb."
    xvfb-run -a -s "-screen 0 1024x768x24" "$run" "$win32/win32/reader-demo.exe" "$demo" "$scenario"
    "$run" --kill
    echo
    echo "The turn as the archive keeps it (vandormsg-archive show):"
    "$run" "$demo/vandormsg-archive.exe" --root "$demo" show Andromeda 1 2401 | tr -d '\r'
    echo "Screenshots: $demo/main-window.png and $demo/simulated-game.png"
fi
echo "The archive of the demo: $demo/DATA"
