#!/usr/bin/env bash
# Times a whole Ruvizaro scan against `find DIR -type f | wc -l` on the same
# tree, warm cache: one untimed run of each first, then RUNS timed runs of
# each, interleaved (3 by default); prints the medians and the ratio
# ruvizaro / find. Other work on the machine skews it: see the load shown.
#   tools/compare-find.sh DIR
# The benchmark program is $RUVIZARO_BENCH, else build-bench/ or build/.
set -euo pipefail

readonly TARGET_RATIO=1.3

if [[ $# -ne 1 || ! -d $1 ]]; then
    echo "usage: $0 DIR" >&2
    exit 2
fi
dir=$1
runs=${RUNS:-3}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

bench=${RUVIZARO_BENCH:-}
if [[ -z $bench ]]; then
    for candidate in "$root/build-bench/bench/ruvizaro-bench" "$root/build/bench/ruvizaro-bench"; do
        if [[ -x $candidate ]]; then
            bench=$candidate
            break
        fi
    done
fi
if [[ -z $bench || ! -x $bench ]]; then
    echo "ruvizaro-bench not found: build it (see bench/README.md) or set RUVIZARO_BENCH" >&2
    exit 1
fi

median() {
    sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# One field of the bench's JSON line.
field() {
    sed -n "s/.*\"$1\":\\([-0-9.eE+]*\\).*/\\1/p"
}

TIMEFORMAT="%R %U %S"
time_find() {
    local count
    { time count=$(find "$dir" -type f | wc -l); } 2>&1
    echo "$count" >"$tmp/find-count"
}

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

echo "tree: $dir"
echo "bench: $bench"
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"

# Warm-up, untimed.
find "$dir" -type f | wc -l >/dev/null
"$bench" "$dir" --json 2>/dev/null >/dev/null || { echo "ruvizaro-bench failed on $dir" >&2; exit 1; }

# Interleaved, so that a change of load on the machine touches both alike.
find_times=()
scan_times=()
for ((i = 1; i <= runs; i++)); do
    read -r real user sys < <(time_find)
    find_times+=("$real")
    awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }' >>"$tmp/find-cpu"
    line=$("$bench" "$dir" --json 2>/dev/null) || { echo "ruvizaro-bench failed on $dir" >&2; exit 1; }
    echo "$line" >>"$tmp/bench.jsonl"
    scan_times+=("$(field scan_seconds <<<"$line")")
done
files=$(cat "$tmp/find-count")
listed=$(field files_listed <"$tmp/bench.jsonl" | tail -1)

find_median=$(printf '%s\n' "${find_times[@]}" | median)
scan_median=$(printf '%s\n' "${scan_times[@]}" | median)
trees_median=$(field trees_seconds <"$tmp/bench.jsonl" | median)
find_cpu=$(median <"$tmp/find-cpu")
scan_cpu=$(awk '{ u = s = 0
    if (match($0, /"scan_cpu_user_seconds":[-0-9.eE+]*/)) u = substr($0, RSTART + 24, RLENGTH - 24)
    if (match($0, /"scan_cpu_system_seconds":[-0-9.eE+]*/)) s = substr($0, RSTART + 26, RLENGTH - 26)
    print u + s }' "$tmp/bench.jsonl" | median)
ratio=$(awk -v a="$scan_median" -v b="$find_median" 'BEGIN { printf "%.2f", (b > 0) ? a / b : 0 }')
verdict=$(awk -v r="$ratio" -v t="$TARGET_RATIO" 'BEGIN { print (r <= t) ? "met" : "missed" }')

echo "find:     ${find_times[*]} s -> median $find_median s ($files files)"
echo "ruvizaro: ${scan_times[*]} s -> median $scan_median s ($listed files listed; directory trees done at median $trees_median s)"
echo "processor time (user + system), median: find $find_cpu s, ruvizaro scan $scan_cpu s (all threads)"
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "ratio ruvizaro/find: $ratio (target <= $TARGET_RATIO: $verdict)"
