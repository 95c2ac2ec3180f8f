#!/usr/bin/env bash
# Measures what the test suite is worth: applies each planted fault of scripts/mutations.tsv, one at
# a time, to a copy of the working tree, rebuilds, runs the suite and reports whether a test failed
# (caught) or all passed (missed).
#
#   bash scripts/mutate.sh [--only REGEX] [--tests REGEX] [--skip-baseline]
#
# --only picks faults by name, --tests passes a -R filter to CTest (quick checks of one room; the
# figure in the README comes from a whole run). The copy and its build live in $MUTATE_DIR
# (default /tmp/parcelo-mutate) and are reused, so only what changed is rebuilt. The copy holds the
# tracked files as they are in the working tree.
set -euo pipefail
cd "$(dirname "$0")/.."

# Read whole before it runs, so that editing or checking out this file meanwhile cannot disturb it.
{

only=. tests=() baseline=1
while [ $# -gt 0 ]; do
    case $1 in
    --only) only=$2; shift 2 ;;
    --tests) tests=(-R "$2"); shift 2 ;;
    --skip-baseline) baseline=0; shift ;;
    *) echo "usage: $0 [--only REGEX] [--tests REGEX] [--skip-baseline]" >&2; exit 2 ;;
    esac
done

dir=${MUTATE_DIR:-/tmp/parcelo-mutate}
mkdir -p "$dir"
# The copy is brought up to date file by file: a file whose content changed is copied anew and so
# is newer than its build; the others keep their times, so the build stays warm.
mkdir -p "$dir/src"
git ls-files -z >"$dir/tracked"
while IFS= read -r -d '' file; do
    cmp -s "$file" "$dir/src/$file" || { mkdir -p "$dir/src/$(dirname "$file")" && cp "$file" "$dir/src/$file"; }
done <"$dir/tracked"
(cd "$dir/src" && find . -type f -printf '%P\0') | grep -zvxF -f <(tr '\0' '\n' <"$dir/tracked") |
    (cd "$dir/src" && xargs -0r rm -f) || true
# A file that an earlier run mutated is back to its content but older than the build made from the
# fault: touched, it is built again.
[ -f "$dir/mutated" ] && (cd "$dir/src" && sort -u "$dir/mutated" | xargs -r touch)
list=$dir/src/scripts/mutations.tsv
cmake -S "$dir/src" -B "$dir/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

suite() {
    cmake --build "$dir/build" >"$dir/build.log" 2>&1 || return 2
    (cd "$dir/build" && ctest -j2 --stop-on-failure --timeout 300 "${tests[@]}" >"$dir/ctest.log" 2>&1)
}

if [ "$baseline" = 1 ] && ! suite; then
    echo "mutate: the suite fails without any planted fault; see $dir/ctest.log" >&2
    exit 1
fi
cmake --build "$dir/build" >"$dir/build.log" 2>&1 && rm -f "$dir/mutated"

caught=0 missed=0 stale=0
: >"$dir/results.txt"
while IFS=$'\t' read -r name file from to; do
    [[ -z $name || $name == \#* ]] && continue
    [[ $name =~ $only ]] || continue
    target=$dir/src/$file
    original=$(cat "$target" 2>/dev/null; printf x)
    original=${original%x}
    rest=${original#*"$from"}
    if [[ ! -f $target || $rest == "$original" || $rest == *"$from"* ]]; then
        verdict=stale # the text is gone or not unique: the list wants updating
        stale=$((stale + 1))
    else
        echo "$file" >>"$dir/mutated"
        printf '%s' "${original/"$from"/"$to"}" >"$target"
        status=0
        suite || status=$?
        printf '%s' "$original" >"$target"
        case $status in
        0) verdict=MISSED; missed=$((missed + 1)) ;;
        2) verdict=stale; stale=$((stale + 1)); cp "$dir/build.log" "$dir/build-$name.log" ;;
        *) verdict=caught; caught=$((caught + 1))
           by=$(sed -n '/tests FAILED:/,$s/^[[:space:]]*[0-9]* - \([^ ]*\).*/\1/p' "$dir/ctest.log" | paste -sd,) ;;
        esac
    fi
    printf '%-7s %-28s %-32s %s\n' "$verdict" "$name" "$file" "${by:-}" | tee -a "$dir/results.txt"
    by=
done <"$list"

echo "caught $caught of $((caught + missed)) planted faults ($stale stale)" | tee -a "$dir/results.txt"
exit
}
