#!/bin/bash
# Mutation testing: plants one small fault at a time in a copy of the source
# tree and checks that the tests notice it.
#
#   tools/mutate.sh [--quick] [--only NAME]... [--list FILE]
#
# The mutations are those of tools/mutations.txt (the file says how an entry
# is written); --quick (or MUTATE_QUICK=1) takes only the entries tagged
# "quick", --only NAME the entries of that name.
#
# The files git knows in the work tree (committed or not, ignored ones left
# out) are copied to build/mutate/src, and one build tree, build/mutate/build,
# is configured there once: Debug, without the sanitizers. The mutations
# change results, not memory safety, and an unsanitized tree builds and runs
# its tests about twice as fast. Before any mutation the named test programs
# are built and the named tests must pass. Then, for each mutation in turn,
# the script replaces the entry's text in the copy, builds the entry's test
# programs, runs its tests among theirs (by the program's CTest label) and
# puts the file back.
#
# One line per mutation says what became of it:
#   killed          some test failed (or crashed, or timed out)
#   SURVIVED        every test passed: no test catches that fault
#   BROKEN          the entry checks nothing: its text does not occur exactly
#                   once in its file, or its tests match no test, or the
#                   mutated tree did not compile (a mutation the compiler
#                   refuses says nothing about the tests, so it is not
#                   counted as killed)
# The last line is "N killed, M survived". The exit status is 0 only when
# no mutation survived and no entry was broken; 2 when the tests fail
# without any mutation or the script is called wrongly.
#
# JOBS (default: the number of processors) sets the build's and CTest's
# parallelism, MUTATE_DIR (default build/mutate) the scratch folder and
# MUTATE_TIMEOUT (default 120) the seconds a test may run.
set -euo pipefail

cd "$(dirname "$0")/.."
root=$PWD
list=tools/mutations.txt
quick=${MUTATE_QUICK:-0}
only=()
jobs=${JOBS:-$(nproc 2>/dev/null || echo 2)}
timeout=${MUTATE_TIMEOUT:-120}

usage() { sed -n '2,9p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }
while [ $# -gt 0 ]; do
    case $1 in
        --quick) quick=1 ;;
        --only) [ $# -ge 2 ] || usage; only+=("$2"); shift ;;
        --list) [ $# -ge 2 ] || usage; list=$2; shift ;;
        -h|--help) usage ;;
        *) echo "mutate.sh: unknown argument $1" >&2; usage ;;
    esac
    shift
done
[ -f "$list" ] || { echo "mutate.sh: no list $list" >&2; exit 2; }
if ! git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    echo "mutate.sh: copies the files git knows; run it in a git checkout" >&2
    exit 2
fi

work=${MUTATE_DIR:-build/mutate}
mkdir -p "$work"
work=$(cd "$work" && pwd)
src=$work/src
bld=$work/build
logs=$work/logs
mkdir -p "$src" "$logs" "$work/tmp"
rm -f "$logs"/*.log
# The tests' scratch folders stay inside the scratch folder.
export TMPDIR=$work/tmp

# --- The list ---------------------------------------------------------------
# Entries: name, tags, file, from, to, tests, build, about; and a problem
# found while reading the entry, if any.
names=() tags=() files=() froms=() tos=() testses=() builds=() abouts=() problems=()

add_entry() {
    [ -n "$e_name" ] || return 0
    local problem=""
    [ -n "$e_file" ] || problem="no file line"
    [ -n "$e_from" ] || problem="${problem:+$problem; }no from line"
    [ "$e_has_to" = 1 ] || problem="${problem:+$problem; }no to line"
    [ -n "$problem" ] || [ "$e_from" != "$e_to" ] || problem="from and to are the same"
    [ -z "$e_problem" ] || problem="${problem:+$problem; }$e_problem"
    names+=("$e_name") tags+=("$e_tags") files+=("$e_file") froms+=("$e_from")
    tos+=("$e_to") testses+=("$e_tests") builds+=("$e_build") abouts+=("$e_about")
    problems+=("$problem")
}

e_name=""
new_entry() {
    e_name=$1 e_tags=$2 e_file="" e_from="" e_to="" e_has_to=0 e_tests="" e_build=""
    e_about="" e_problem=""
}

line_no=0
while IFS= read -r line || [ -n "$line" ]; do
    line_no=$((line_no + 1))
    line=${line%$'\r'}
    case $line in ''|'#'*) continue ;; esac
    if [[ $line =~ ^\[([A-Za-z0-9_.-]+)\][[:space:]]*(.*)$ ]]; then
        add_entry
        new_entry "${BASH_REMATCH[1]}" "${BASH_REMATCH[2]}"
        continue
    fi
    if [ -z "$e_name" ]; then
        echo "mutate.sh: $list:$line_no: a line outside any entry: $line" >&2
        exit 2
    fi
    if [[ $line =~ ^([a-z]+)([[:space:]]+(.*))?$ ]]; then
        key=${BASH_REMATCH[1]} value=${BASH_REMATCH[3]}
    else
        key="" value=""
    fi
    case $key in
        file) e_file=$value ;;
        from) e_from=$value ;;
        to) e_to=$value e_has_to=1 ;;
        tests) e_tests=$value ;;
        build) e_build=$value ;;
        about) e_about=$value ;;
        *) e_problem="${e_problem:+$e_problem; }line $line_no is not a known key" ;;
    esac
done < "$list"
add_entry

selected=()
for i in "${!names[@]}"; do
    if [ ${#only[@]} -gt 0 ]; then
        for name in "${only[@]}"; do
            [ "$name" = "${names[$i]}" ] && selected+=("$i")
        done
    elif [ "$quick" = 1 ]; then
        [[ " ${tags[$i]} " == *" quick "* ]] && selected+=("$i")
    else
        selected+=("$i")
    fi
done
if [ ${#selected[@]} -eq 0 ]; then
    echo "mutate.sh: no mutation in $list is selected" >&2
    exit 2
fi

# --- The copy ---------------------------------------------------------------
# Only files whose content differs are copied, with a fresh time stamp, so
# that a file's time never goes back: a file put back after a mutation is
# newer than the objects built from the mutation and is compiled again.
declare -A known=()
while IFS= read -r -d '' f; do
    [ -f "$f" ] || continue  # deleted in the work tree
    known[$f]=1
    if ! cmp -s "$f" "$src/$f"; then
        mkdir -p "$(dirname "$src/$f")"
        rm -f "$src/$f"
        cp "$f" "$src/$f"
    fi
done < <(git ls-files -z --cached --others --exclude-standard)
while IFS= read -r -d '' f; do
    f=${f#"$src"/}
    [ -n "${known[$f]:-}" ] || rm -f "$src/$f"
done < <(find "$src" -type f -print0)

# --- Checks before any mutation ---------------------------------------------
occurrences() {  # occurrences FILE TEXT
    TEXT=$2 perl -0777 -ne '
        my ($n, $at) = (0, 0);
        while (($at = index($_, $ENV{TEXT}, $at)) >= 0) { $n++; $at += length $ENV{TEXT}; }
        print $n;' "$1"
}

for i in "${selected[@]}"; do
    [ -z "${problems[$i]}" ] || continue
    if [ ! -f "$src/${files[$i]}" ]; then
        problems[$i]="no file ${files[$i]}"
        continue
    fi
    n=$(occurrences "$src/${files[$i]}" "${froms[$i]}")
    [ "$n" = 1 ] || problems[$i]="its text occurs $n times in ${files[$i]}, not once"
done

targets=()
all_targets=0
declare -A seen_target=()
tests_union=""
all_tests=0
for i in "${selected[@]}"; do
    if [ -z "${builds[$i]}" ]; then
        all_targets=1
    else
        read -ra t <<< "${builds[$i]}"
        for target in "${t[@]}"; do
            [ -n "${seen_target[$target]:-}" ] || targets+=("$target")
            seen_target[$target]=1
        done
    fi
    # Joined without groups: CMake's regular expressions take ten at most,
    # and an alternation of alternations is their union anyway.
    if [ -z "${testses[$i]}" ]; then
        all_tests=1
    elif [[ "|$tests_union|" != *"|${testses[$i]}|"* ]]; then
        tests_union="${tests_union:+$tests_union|}${testses[$i]}"
    fi
done

build() {  # build LOG TARGETS...
    local log=$1
    shift
    if [ $# -eq 0 ]; then
        cmake --build "$bld" -j "$jobs" > "$log" 2>&1
    else
        cmake --build "$bld" -j "$jobs" --target "$@" > "$log" 2>&1
    fi
}

started=$(date +%s)
if [ ! -f "$bld/build.ninja" ]; then
    echo "== Configuring $bld (Debug, no sanitizers)"
    cmake -S "$src" -B "$bld" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVANDOR_SANITIZE=OFF \
        > "$logs/configure.log" 2>&1 || { cat "$logs/configure.log" >&2; exit 2; }
fi
if [ "$all_targets" = 1 ]; then targets=(); fi
echo "== Building ${targets[*]:-every target} without mutations"
build "$logs/baseline-build.log" "${targets[@]}" || {
    tail -40 "$logs/baseline-build.log" >&2
    echo "mutate.sh: the tree does not build without mutations" >&2
    exit 2
}
ctest_args=(--test-dir "$bld" --timeout "$timeout" -j "$jobs")
baseline_args=("${ctest_args[@]}" --no-tests=error)
[ "$all_tests" = 1 ] || baseline_args+=(-R "$tests_union")
[ "$all_targets" = 1 ] || baseline_args+=(-L "^($(IFS='|'; echo "${targets[*]}"))\$")
echo "== Running the tests without mutations"
if ! ctest "${baseline_args[@]}" > "$logs/baseline-tests.log" 2>&1; then
    grep -A30 'The following tests FAILED' "$logs/baseline-tests.log" >&2 || tail -20 "$logs/baseline-tests.log" >&2
    echo "mutate.sh: the tests fail without any mutation (see $logs/baseline-tests.log)" >&2
    exit 2
fi

# The CTest options that pick the tests of entry $1: those its regular
# expression names among the cases of its test programs.
selection() {
    local -a t
    picked=()
    [ -z "${testses[$1]}" ] || picked+=(-R "${testses[$1]}")
    if [ -n "${builds[$1]}" ]; then
        read -ra t <<< "${builds[$1]}"
        picked+=(-L "^($(IFS='|'; echo "${t[*]}"))\$")
    fi
}
count_tests() {
    selection "$1"
    ctest --test-dir "$bld" -N "${picked[@]}" | sed -n 's/^Total Tests: //p'
}

# --- The mutations ----------------------------------------------------------
current=""
backup=$work/original
restore() {
    if [ -n "$current" ]; then
        cp "$backup" "$current"
        current=""
    fi
}
trap restore EXIT
trap 'restore; exit 130' INT TERM

killed=0 survived=0 broken=0
broken_names=() survived_names=()
report() {  # report OUTCOME INDEX DETAIL
    printf '%-9s %-24s %s\n' "$1" "${names[$2]}" "$3"
}

echo "== ${#selected[@]} mutations"
for i in "${selected[@]}"; do
    name=${names[$i]}
    about=${abouts[$i]:+ - ${abouts[$i]}}
    if [ -z "${problems[$i]}" ]; then
        total=$(count_tests "$i")
        [ "${total:-0}" != 0 ] ||
            problems[$i]="its tests (${testses[$i]:-all} of ${builds[$i]:-every program}) match no test"
    fi
    if [ -n "${problems[$i]}" ]; then
        report BROKEN "$i" "${files[$i]}: ${problems[$i]}"
        broken=$((broken + 1)) broken_names+=("$name")
        continue
    fi
    began=$(date +%s)
    file=$src/${files[$i]}
    cp "$file" "$backup"
    current=$file
    FROM=${froms[$i]} TO=${tos[$i]} perl -0777 -i -pe '
        my $at = index($_, $ENV{FROM});
        substr($_, $at, length $ENV{FROM}) = $ENV{TO};' "$file"
    read -ra t <<< "${builds[$i]}"
    if ! build "$logs/$name.build.log" "${t[@]}"; then
        restore
        seconds=$(( $(date +%s) - began ))
        if grep -q 'Error running test executable' "$logs/$name.build.log"; then
            # It compiled, and the test program fails when CTest lists its tests.
            report killed "$i" "${files[$i]}: the test program crashed at start (${seconds}s)$about"
            killed=$((killed + 1))
        else
            report BROKEN "$i" "${files[$i]}: did not compile, see $logs/$name.build.log$about"
            broken=$((broken + 1)) broken_names+=("$name")
        fi
        continue
    fi
    selection "$i"
    run_args=("${ctest_args[@]}" "${picked[@]}")
    if ctest "${run_args[@]}" > "$logs/$name.tests.log" 2>&1; then
        restore
        seconds=$(( $(date +%s) - began ))
        report SURVIVED "$i" "${files[$i]}: all $total tests passed (${seconds}s)$about"
        survived=$((survived + 1)) survived_names+=("$name")
    else
        restore
        seconds=$(( $(date +%s) - began ))
        failed=$(sed -n 's/.* tests passed, \([0-9]*\) tests\{0,1\} failed out of .*/\1/p' \
            "$logs/$name.tests.log")
        first=$(sed -n '/The following tests FAILED/{n;s/^[[:space:]]*[0-9]* - \([^ ]*\).*/\1/p;q}' \
            "$logs/$name.tests.log")
        report killed "$i" "${files[$i]}: ${failed:-some} of $total tests failed, ${first:-?} first (${seconds}s)$about"
        killed=$((killed + 1))
    fi
done

echo "== took $(( $(date +%s) - started ))s; logs in $logs"
[ "$survived" = 0 ] || echo "survived: ${survived_names[*]}"
[ "$broken" = 0 ] || echo "$broken broken: ${broken_names[*]}"
echo "$killed killed, $survived survived"
[ "$survived" = 0 ] && [ "$broken" = 0 ]
