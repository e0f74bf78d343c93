#!/usr/bin/env bash
# Times `ruvizaro --liste DIR | wc -l` against `fdfind -u -t f . DIR | wc -l`
# on the same tree, warm cache: one untimed run of each first, then RUNS
# timed runs of each (5 by default), interleaved so that a change of load
# touches both alike; prints the medians, the ratio ruvizaro / fd (target:
# 1.0 or less) and the load. Checks the count against `find` and the
# extension table's 30 extensions, computed here.
#   bench/compare-liste.sh DIR
# The program is $RUVIZARO, else build-bench/ruvizaro or build/ruvizaro.
set -euo pipefail

readonly TARGET=1.0

if [[ $# -ne 1 || ! -d $1 ]]; then
    echo "usage: $0 DIR" >&2
    exit 2
fi
dir=$1
runs=${RUNS:-5}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
programme=${RUVIZARO:-}
for candidate in "$root/build-bench/ruvizaro" "$root/build/ruvizaro"; do
    [[ -z $programme && -x $candidate ]] && programme=$candidate
done
[[ -n $programme && -x $programme ]] || { echo "ruvizaro not found: build it or set RUVIZARO" >&2; exit 1; }
fd_cmd=$(command -v fdfind || command -v fd || true)
[[ -n $fd_cmd ]] || { echo "fdfind not found: install fd-find (tools/setup.sh)" >&2; exit 1; }

median() {
    sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
TIMEFORMAT="%R %U %S"
# time_cmd NAME: one timed run; appends the real time and the processor time.
time_cmd() {
    local real user sys
    if [[ $1 == ruvizaro ]]; then
        read -r real user sys < <({ time "$programme" --liste "$dir" 2>/dev/null | wc -l >"$tmp/ruvizaro-count"; } 2>&1)
    else
        read -r real user sys < <({ time "$fd_cmd" -u -t f . "$dir" | wc -l >"$tmp/fd-count"; } 2>&1)
    fi
    echo "$real" >>"$tmp/$1-time"
    awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }' >>"$tmp/$1-cpu"
}

echo "tree: $dir"
echo "ruvizaro: $programme"
echo "fd: $fd_cmd ($("$fd_cmd" --version))"
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"
# Warm-up, untimed; the reference count: regular files and links to them
# (find -xtype f) whose extension, lower-cased, is one of the table's.
extensions='avi|mpg|mpeg|mov|wmv|divx|qt|asf|mkv|mp3|wav|wma|mid|midi|ogg|mp2|mp4|jpg|jpeg|ico|bmp|gif|png|txt|doc|xls|pdf|rtf|pps|ppt'
reference=$(LC_ALL=C find "$dir" -xtype f -regextype posix-extended -iregex ".*/[^/]*\\.($extensions)" | wc -l)
"$fd_cmd" -u -t f . "$dir" | wc -l >/dev/null
"$programme" --liste "$dir" | wc -l >/dev/null
for ((i = 1; i <= runs; i++)); do
    time_cmd ruvizaro
    time_cmd fd
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
for tool in ruvizaro fd; do
    printf '%-9s median %6.3f s  (processor %6.3f s)  runs: %s  lines: %s\n' "$tool" \
        "$(median <"$tmp/$tool-time")" "$(median <"$tmp/$tool-cpu")" "$(tr '\n' ' ' <"$tmp/$tool-time")" \
        "$(cat "$tmp/$tool-count")"
done
echo "reference (find + extensions): $reference files"
ratio=$(awk -v a="$(median <"$tmp/ruvizaro-time")" -v b="$(median <"$tmp/fd-time")" 'BEGIN { printf "%.2f", a / b }')
echo "ratio ruvizaro / fd: $ratio (target <= $TARGET)"
[[ $(cat "$tmp/ruvizaro-count") == "$reference" ]] || { echo "COUNT DIFFERS from the reference" >&2; exit 1; }
