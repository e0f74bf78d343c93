#!/usr/bin/env bash
# Times a whole Ruvizaro scan against `find DIR -type f | wc -l` on the same
# tree, warm cache: one untimed run of each first, then RUNS timed runs of
# each, interleaved (3 by default); prints the medians and the ratio
# ruvizaro / find. Other work on the machine skews it: see the load shown.
# It also times `find DIR -type f -printf '%s\n' | wc -l` (find reading every
# file's size, as the scan reads the classified files' sizes): the ratios
# ruvizaro / find-sizes, warm and cold. With $RUVIZARO_BENCH_BASE (the
# benchmark built from an older tree, e.g. without sizes) it times that one
# too, interleaved: the ratio ruvizaro / base, warm.
#   tools/compare-find.sh DIR
#   tools/compare-find.sh --cold DIR
# With --cold it also runs `fdfind -u -t f . DIR | wc -l` (Debian's fd-find)
# and times all three twice per round: with the page cache dropped just
# before each run (root only), then warm; the ratios are ruvizaro / find
# warm and ruvizaro / fd cold.
# The benchmark program is $RUVIZARO_BENCH, else build-bench/ or build/.
set -euo pipefail

readonly TARGET_WARM=0.70   # ruvizaro / find, warm cache
readonly TARGET_COLD=1.0    # ruvizaro / fd -u, cold cache
readonly TARGET_SIZES_WARM=0.6  # ruvizaro / find -printf '%s\n', warm cache
readonly TARGET_SIZES_COLD=0.8  # the same, cold cache
readonly TARGET_BASE=1.25   # ruvizaro / the base benchmark, warm cache
base=${RUVIZARO_BENCH_BASE:-}

cold=0
if [[ ${1:-} == --cold ]]; then
    cold=1
    shift
fi
if [[ $# -ne 1 || ! -d $1 ]]; then
    echo "usage: $0 [--cold] DIR" >&2
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
fd_cmd=""
if ((cold)); then
    fd_cmd=$(command -v fdfind || command -v fd || true)
    if [[ -z $fd_cmd ]]; then
        echo "fdfind not found: install fd-find (tools/setup.sh)" >&2
        exit 1
    fi
    if [[ $(id -u) -ne 0 ]]; then
        echo "--cold needs root to drop the page cache" >&2
        exit 1
    fi
fi

median() {
    sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# One field of the bench's JSON line.
field() {
    sed -n "s/.*\"$1\":\\([-0-9.eE+]*\\).*/\\1/p"
}

drop_cache() {
    sync
    echo 3 >/proc/sys/vm/drop_caches
}

TIMEFORMAT="%R %U %S"
# time_cmd NAME: times one run of find or fd; prints "real user sys".
time_cmd() {
    local count
    if [[ $1 == find ]]; then
        { time count=$(find "$dir" -type f | wc -l); } 2>&1
    elif [[ $1 == find-sizes ]]; then
        { time count=$(find "$dir" -type f -printf '%s\n' | wc -l); } 2>&1
    else
        { time count=$("$fd_cmd" -u -t f . "$dir" | wc -l); } 2>&1
    fi
    echo "$count" >"$tmp/$1-count"
}

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

echo "tree: $dir"
echo "bench: $bench"
((cold)) && echo "fd: $fd_cmd ($("$fd_cmd" --version))"
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"

# Warm-up, untimed.
find "$dir" -type f | wc -l >/dev/null
"$bench" "$dir" --json 2>/dev/null >/dev/null || { echo "ruvizaro-bench failed on $dir" >&2; exit 1; }

# one_round MODE (cold or warm): one timed run of each program.
one_round() {
    local mode=$1 tool real user sys line flag=""
    local tools=(find find-sizes)
    ((cold)) && tools+=(fd)
    for tool in "${tools[@]}"; do
        [[ $mode == cold ]] && drop_cache
        read -r real user sys < <(time_cmd "$tool")
        echo "$real" >>"$tmp/$tool-$mode-time"
        awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }' >>"$tmp/$tool-$mode-cpu"
    done
    [[ $mode == cold ]] && flag=--cold
    line=$("$bench" "$dir" --json $flag 2>/dev/null) || { echo "ruvizaro-bench failed on $dir" >&2; exit 1; }
    echo "$line" >>"$tmp/bench-$mode.jsonl"
    if [[ -n $base && $mode == warm ]]; then
        line=$("$base" "$dir" --json 2>/dev/null) || { echo "$base failed on $dir" >&2; exit 1; }
        echo "$line" >>"$tmp/base-$mode.jsonl"
    fi
}

# Interleaved, so that a change of load on the machine touches all alike.
for ((i = 1; i <= runs; i++)); do
    ((cold)) && one_round cold
    one_round warm
done

report() {
    local mode=$1 tool t
    echo "--- $mode cache"
    local tools=(find find-sizes)
    ((cold)) && tools+=(fd)
    for tool in "${tools[@]}"; do
        t=$(tr '\n' ' ' <"$tmp/$tool-$mode-time")
        printf '%-11s %s s -> median %s s (%s files); processor %s s\n' "$tool:" "$t" \
            "$(median <"$tmp/$tool-$mode-time")" "$(cat "$tmp/$tool-count")" "$(median <"$tmp/$tool-$mode-cpu")"
    done
    local scan trees cpu listed
    scan=$(field scan_seconds <"$tmp/bench-$mode.jsonl")
    trees=$(field trees_seconds <"$tmp/bench-$mode.jsonl" | median)
    cpu=$(awk '{ u = s = 0
        if (match($0, /"scan_cpu_user_seconds":[-0-9.eE+]*/)) u = substr($0, RSTART + 24, RLENGTH - 24)
        if (match($0, /"scan_cpu_system_seconds":[-0-9.eE+]*/)) s = substr($0, RSTART + 26, RLENGTH - 26)
        print u + s }' "$tmp/bench-$mode.jsonl" | median)
    listed=$(field files_listed <"$tmp/bench-$mode.jsonl" | tail -1)
    printf 'ruvizaro: %s s -> median %s s (%s files listed; directory trees done at median %s s); processor %s s\n' \
        "$(tr '\n' ' ' <<<"$scan")" "$(median <<<"$scan")" "$listed" "$trees" "$cpu"
    if grep -q '"cache_dropped":false' "$tmp/bench-$mode.jsonl" && [[ $mode == cold ]]; then
        echo "warning: ruvizaro-bench could not drop the cache"
    fi
    median <<<"$scan" >"$tmp/scan-$mode-median"
    if [[ -f $tmp/base-$mode.jsonl ]]; then
        scan=$(field scan_seconds <"$tmp/base-$mode.jsonl")
        printf 'base:     %s s -> median %s s\n' "$(tr '\n' ' ' <<<"$scan")" "$(median <<<"$scan")"
        median <<<"$scan" >"$tmp/base-$mode-median"
    fi
}

ratio() {
    awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0) ? a / b : 0 }'
}
verdict() {
    awk -v r="$1" -v t="$2" 'BEGIN { print (r <= t) ? "met" : "missed" }'
}

((cold)) && report cold
report warm
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
warm_ratio=$(ratio "$(cat "$tmp/scan-warm-median")" "$(median <"$tmp/find-warm-time")")
echo "warm: ratio ruvizaro/find $warm_ratio (target <= $TARGET_WARM: $(verdict "$warm_ratio" $TARGET_WARM))"
sizes_warm=$(ratio "$(cat "$tmp/scan-warm-median")" "$(median <"$tmp/find-sizes-warm-time")")
echo "warm: ratio ruvizaro/find-sizes $sizes_warm (target <= $TARGET_SIZES_WARM: $(verdict "$sizes_warm" $TARGET_SIZES_WARM))"
if [[ -n $base ]]; then
    base_ratio=$(ratio "$(cat "$tmp/scan-warm-median")" "$(cat "$tmp/base-warm-median")")
    echo "warm: ratio ruvizaro/base $base_ratio (target <= $TARGET_BASE: $(verdict "$base_ratio" $TARGET_BASE))"
fi
if ((cold)); then
    cold_fd=$(ratio "$(cat "$tmp/scan-cold-median")" "$(median <"$tmp/fd-cold-time")")
    cold_find=$(ratio "$(cat "$tmp/scan-cold-median")" "$(median <"$tmp/find-cold-time")")
    echo "cold: ratio ruvizaro/fd $cold_fd (target <= $TARGET_COLD: $(verdict "$cold_fd" $TARGET_COLD)), ruvizaro/find $cold_find"
    sizes_cold=$(ratio "$(cat "$tmp/scan-cold-median")" "$(median <"$tmp/find-sizes-cold-time")")
    echo "cold: ratio ruvizaro/find-sizes $sizes_cold (target <= $TARGET_SIZES_COLD: $(verdict "$sizes_cold" $TARGET_SIZES_COLD))"
fi
