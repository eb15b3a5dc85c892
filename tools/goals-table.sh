#!/bin/sh
# Turns the output of vandor_goals (default build/bench/goals.txt) into the
# Markdown table of README.md's Performance section, one row per goal line:
#   tools/goals-table.sh [GOALS_FILE]
# A goal line's fields are separated by three spaces or more: what, the
# figure ("OURS = RATIO x BASELINE (ITS FIGURE)" or an absolute time), the
# other figures, the goal and holds/misses. Notes (lines with "#") and
# blank lines are left out.
set -eu
file=${1:-build/bench/goals.txt}
[ -r "$file" ] || { echo "goals-table.sh: cannot read $file (run make bench first)" >&2; exit 1; }
awk -F '   +' '
BEGIN {
  print "| What | Ours | Ratio | Baseline | Other figures (ours / baseline) | Goal | Result |"
  print "|---|---|---|---|---|---|---|"
}
/^#/ || NF < 5 { next }
{
  figure = $2; ours = figure; ratio = "-"; base = "-"
  eq = index(figure, " = ")
  if (eq > 0) {
    ours = substr(figure, 1, eq - 1)
    rest = substr(figure, eq + 3)
    x = index(rest, " x ")
    ratio = substr(rest, 1, x - 1) " x"
    rest = substr(rest, x + 3)
    p = length(rest)
    while (p > 0 && substr(rest, p, 1) != "(") p--
    base = substr(rest, 1, p - 2) ", " substr(rest, p + 1, length(rest) - p - 1)
  }
  goal = $4
  sub(/^goal /, "", goal)
  printf "| %s | %s | %s | %s | %s | %s | %s |\n", $1, ours, ratio, base, $3, goal, $5
  rows++
}
END { if (rows == 0) { print "goals-table.sh: no goal lines" > "/dev/stderr"; exit 1 } }' "$file"
