#!/usr/bin/env bash
# Runs one fuzz target for a number of seconds on its committed seed corpus
# (read only) and a scratch corpus, with its dictionary when there is one.
# Usage: lancer.sh <target binary> <name> <seconds> [more libFuzzer flags]
# A crash, a sanitizer report, a leak, a timeout or running out of memory
# fails the run; the input that did it is kept in the scratch folder, whose
# path is printed.
set -euo pipefail
cible=$(realpath "$1"); nom=$2; secondes=$3; shift 3
ici=$(cd "$(dirname "$0")" && pwd)
travail=$(mktemp -d "${TMPDIR:-/tmp}/ruvizaro-fuzz-$nom.XXXXXX")
mkdir -p "$travail/corpus" "$travail/fautes"
# One allocation larger than the target's bound stops the run with the input
# that asked for it: the code bounds each input's largest allocation (the
# pictures' decoders 1 GiB, FFmpeg's 256 MiB, a sound font up to 150 MiB,
# names and settings a few times their input).
case $nom in
  image | video) allocation=1100 ;;
  son) allocation=320 ;;
  *) allocation=256 ;;
esac
options=(-max_total_time="$secondes" -timeout=25 -rss_limit_mb=2560 -malloc_limit_mb="$allocation"
         -max_len=65536 -print_final_stats=1 -artifact_prefix="$travail/fautes/")
[ -f "$ici/$nom.dict" ] && options+=(-dict="$ici/$nom.dict")
# Leaks inside uninstrumented libraries are listed, with their reasons, in
# lsan.supp, and in <name>.lsan.supp for one target alone; any other leak
# fails the run.
cat "$ici/lsan.supp" > "$travail/lsan.supp"
[ -f "$ici/$nom.lsan.supp" ] && cat "$ici/$nom.lsan.supp" >> "$travail/lsan.supp"
export LSAN_OPTIONS="suppressions=$travail/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
echo "fuzz $nom: $secondes s, scratch $travail"
set +e
(cd "$travail" && "$cible" "${options[@]}" "$@" "$travail/corpus" "$ici/corpus/$nom") 2>"$travail/journal"
statut=$?
set -e
grep -E '^(stat::|Done|INFO: Running with)|ERROR|SUMMARY' "$travail/journal" || true
if [ $statut -ne 0 ]; then
  tail -n 80 "$travail/journal"
  echo "fuzz $nom: FAILED (status $statut); inputs kept in $travail/fautes"
  exit 1
fi
rm -rf "$travail"
echo "fuzz $nom: passed"
