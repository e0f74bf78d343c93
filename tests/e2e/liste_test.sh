#!/usr/bin/env bash
# `ruvizaro --liste`, with no display at all: each format and option against
# a listing the test makes itself (os.walk and the extension table), byte
# for byte; the exit codes; the settings file neither read nor written.
set -euo pipefail
BINAIRE=${1:?path of the ruvizaro binary}
command -v python3 >/dev/null || { echo "SKIP: python3 missing"; exit 77; }
TRAVAIL=$(mktemp -d)
trap 'chmod -R u+rwx "$TRAVAIL"; rm -rf "$TRAVAIL"' EXIT
echec() { echo "FAIL: $*" >&2; exit 1; }

export HOME="$TRAVAIL/home" XDG_CONFIG_HOME="$TRAVAIL/config"
mkdir -p "$HOME" "$XDG_CONFIG_HOME/Dudidevir"
# Settings that would change the listing if they were read.
reg="$XDG_CONFIG_HOME/Dudidevir/HKEY_CURRENT_USER.reg"
printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' '[HKEY_CURRENT_USER\Software\Dudidevir\Ruvizaro\1.0]' \
  '"SousRepertoire"=dword:00000000' '"FichierCache"=dword:00000000' >"$reg"
cp "$reg" "$TRAVAIL/reg.avant"

A="$TRAVAIL/arbre"
mkdir -p "$A/sous/bas" "$A/.cache/x" "$A/un dossier" "$A/Zed" "$A/"$'sauts\nici'
printf 'abc' >"$A/a.avi"
printf '12345' >"$A/sous/B.MP3"
touch "$A/c.jpg" "$A/C2.Png" "$A/d.txt" "$A/x.zip" "$A/sans" "$A/.cache.png" "$A/.cache/e.jpg" "$A/.cache/x/f.mkv" \
  "$A/sous/bas/g.mid" "$A/sous/bas/.h.pdf" "$A/un dossier/i,\"j\".txt" "$A/Zed/k.mp4" "$A/Zed/é.gif" \
  "$A/"$'\xe9t\xe9.jpg' "$A/"$'li\nne.mp3' "$A/"$'sauts\nici/m.ogg' "$A/sous/retour"$'\r'".wav" "$A/sous/a\\b.doc"
ln -s ../a.avi "$A/sous/lien.avi"

cat >"$TRAVAIL/reference.py" <<'EOF'
import os, sys
EXT = {b'avi mpg mpeg mov wmv divx qt asf mkv': 'video', b'mp3 wav wma mid midi ogg mp2 mp4': 'son',
       b'jpg jpeg ico bmp gif png': 'image', b'txt doc xls pdf rtf pps ppt': 'texte'}
CAT = {e: c for l, c in EXT.items() for e in l.split()}
args = sys.argv[1:]
racine, fmt = os.fsencode(args[-1]), args[args.index('--format') + 1] if '--format' in args else 'chemins'
cats = [args[args.index('--categorie') + 1]] if '--categorie' in args else ['video', 'son', 'image', 'texte']
groupes = {}
for d, sous, noms in os.walk(racine):
    sous[:] = [] if '--sans-sous-repertoires' in args else [s for s in sous if not (s.startswith(b'.') and '--sans-repertoires-caches' in args)]
    for n in noms:
        if (n.startswith(b'.') and '--sans-fichiers-caches' in args) or b'.' not in n:
            continue
        if CAT.get(n.rsplit(b'.', 1)[1].lower()) is not None:
            groupes.setdefault((CAT[n.rsplit(b'.', 1)[1].lower()], d), []).append(n)
def champ(t):
    t = ''.join('\\x%02X' % b if 0xDC80 <= ord(c) <= 0xDCFF and (b := ord(c) - 0xDC00) else c for c in t.decode('utf-8', 'surrogateescape').replace('\\', '\\\\')).encode()
    return b'"' + t.replace(b'"', b'""') + b'"' if any(x in t for x in b',"\r\n') else t
sortie, omis = {'chemins': b'', 'csv': b'Nom,Dossier,Extension,Taille (octets)\r\n', 'm3u8': b'#EXTM3U\n'}[fmt], 0
for c in cats:
    for d in [d for (k, d) in groupes if k == c]:
        for n in sorted(groupes[(c, d)], key=bytes.lower):
            p = os.path.join(d, n)
            if fmt == 'csv':
                sortie += b','.join([champ(n), champ(d), champ(n.rsplit(b'.', 1)[1]), b'%d' % os.stat(p).st_size]) + b'\r\n'
            elif (b'\n' in p or (fmt == 'm3u8' and b'\r' in p)) and '-0' not in args:
                omis += 1
            else:
                sortie += (b'#EXTINF:-1,' + n + b'\n' if fmt == 'm3u8' else b'') + p + (b'\0' if '-0' in args else b'\n')
sys.stdout.buffer.write(sortie)
sys.stderr.write(str(omis))
EOF

liste() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$BINAIRE" --liste "$@"; }
cas=("" "-0" "--format csv" "--format m3u8" "--categorie image" "--categorie texte --format csv" "--sans-sous-repertoires"
  "--sans-fichiers-caches" "--sans-repertoires-caches" "--categorie son --format m3u8 --sans-fichiers-caches")
for options in "${cas[@]}"; do
  read -r -a o <<<"$options"
  python3 "$TRAVAIL/reference.py" "${o[@]}" "$A" >"$TRAVAIL/attendu" 2>"$TRAVAIL/omis"
  code=0
  liste "${o[@]}" "$A" >"$TRAVAIL/obtenu" 2>"$TRAVAIL/err" || code=$?
  [ "$code" = 0 ] || echec "'$options': code $code, $(cat "$TRAVAIL/err")"
  cmp "$TRAVAIL/attendu" "$TRAVAIL/obtenu" || echec "'$options': $(diff <(cat -A "$TRAVAIL/attendu") <(cat -A "$TRAVAIL/obtenu"))"
  omis=$(cat "$TRAVAIL/omis")
  if [ "$omis" = 0 ]; then [ ! -s "$TRAVAIL/err" ] || echec "'$options': $(cat "$TRAVAIL/err")"; else
    grep -q "^ruvizaro : $omis chemins\? laissés\? de côté" "$TRAVAIL/err" || echec "'$options': $(cat "$TRAVAIL/err")"; fi
done
# Enough folders for the first category to be written while the walk runs.
B="$TRAVAIL/grand"
dossiers=() fichiers=()
for i in $(seq 700); do dossiers+=("$B/d$((i % 7))/$i") && fichiers+=("$B/d$((i % 7))/$i/v$i.mkv" "$B/d$((i % 7))/$i/t.txt"); done
mkdir -p "${dossiers[@]}" && touch "${fichiers[@]}"
python3 "$TRAVAIL/reference.py" "$B" >"$TRAVAIL/attendu" 2>/dev/null
liste "$B" | cmp - "$TRAVAIL/attendu" || echec "700 folders"

# The count against find and the table's extensions, independently.
n=$(LC_ALL=C find "$A" -type f -iregex '.*\.\(avi\|mkv\|mp3\|mid\|ogg\|wav\|mp4\|jpg\|png\|gif\|txt\|pdf\|doc\)' -not -path $'*\n*' | wc -l)
[ "$(liste "$A" 2>/dev/null | wc -l)" = $((n + 1)) ] || echec "count: $n files by find (+ the link)"

# Exit codes: 1 for a folder that cannot be read, 2 for a refused line.
chmod 000 "$A/Zed"
mkfifo "$TRAVAIL/tube"
for ligne in "1|$TRAVAIL/absent|n'existe pas" "1|$A/a.avi|n'est pas un dossier" "1|$TRAVAIL/tube|n'est pas un dossier" \
  "2|--categorie film $A|« film »" "2|--format xml $A|« xml »" "2||attend un dossier" "2|-0 --format csv $A|-0" \
  "2|--inconnue $A|« --inconnue »" "2|$A $A|un seul dossier"; do
  IFS='|' read -r attendu options message <<<"$ligne"
  read -r -a o <<<"$options"
  code=0
  liste "${o[@]}" >"$TRAVAIL/obtenu" 2>"$TRAVAIL/err" || code=$?
  [ "$code" = "$attendu" ] && [ ! -s "$TRAVAIL/obtenu" ] && grep -qF -- "$message" "$TRAVAIL/err" ||
    echec "'$options': code $code, $(cat "$TRAVAIL/err")"
done
if [ "$(id -u)" != 0 ]; then
  code=0
  liste "$A/Zed" >/dev/null 2>"$TRAVAIL/err" || code=$?
  [ "$code" = 1 ] && grep -q "permission refusée" "$TRAVAIL/err" || echec "unreadable folder: $code $(cat "$TRAVAIL/err")"
fi
chmod 755 "$A/Zed"
code=0
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$BINAIRE" --format csv "$A" 2>"$TRAVAIL/err" || code=$?
[ "$code" = 2 ] && grep -qF "« --format » ne sert qu'avec --liste" "$TRAVAIL/err" || echec "--format alone: $code"

# A reader gone (a closed pipe) ends with code 3 and no word; a full disk is said.
python3 -c 'import os,subprocess,sys; r,w=os.pipe(); os.close(r)
p=subprocess.run([sys.argv[1],"--liste",sys.argv[2]],stdout=w,stderr=subprocess.PIPE); sys.exit(0 if p.returncode==3 and not p.stderr else 1)' \
  "$BINAIRE" "$A" || echec "closed pipe"
code=0
liste "$A" >/dev/full 2>"$TRAVAIL/err" || code=$?
[ "$code" = 3 ] && grep -q "écriture impossible sur la sortie standard" "$TRAVAIL/err" || echec "full disk: $code"

cmp "$reg" "$TRAVAIL/reg.avant" || echec "the settings file was changed"
[ "$(find "$XDG_CONFIG_HOME" "$HOME" -mindepth 1 | wc -l)" = 2 ] || echec "files made: $(find "$XDG_CONFIG_HOME" "$HOME")"
echo "PASS"
