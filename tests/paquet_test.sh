#!/usr/bin/env bash
# The Debian package as a user gets it: made by CPack from the normal build,
# checked by desktop-file-validate, appstreamcli, man and lintian, its
# dependencies compared with what the program loads and runs, unpacked into
# a scratch root, and the program started from there until its window shows.
#   paquet_test.sh CPACK BUILD_DIR
CPACK=${1:?path of cpack}
CONSTRUCTION=${2:?build directory}
SOURCES=$(cd "$(dirname "$0")/.." && pwd)
source "$(dirname "$0")/e2e/commun.sh" "$CONSTRUCTION/ruvizaro"

ID=fr.dudidevir.Ruvizaro
(cd "$CONSTRUCTION" && "$CPACK" -G DEB -B "$TRAVAIL/paquets") >"$TRAVAIL/cpack.log" 2>&1 ||
  { cat "$TRAVAIL/cpack.log" >&2; echec "cpack failed"; }
deb=$(find "$TRAVAIL/paquets" -maxdepth 1 -name 'ruvizaro_1.0_*.deb' | head -n1)
[ -f "$deb" ] || echec "no package made"

# Dependencies found by dpkg-shlibdeps.
depends=$(dpkg-deb -f "$deb" Depends)
[[ $depends == *libqt6widgets6* && $depends == *libc6* && $depends == *libjpeg62-turbo* ]] ||
  echec "dependencies: $depends"

# What the program opens or runs only when it needs it belongs to a package
# the .deb depends on or recommends (an alternative counts): each file is
# looked up on this machine with dpkg -S.
dpkg-deb -f "$deb" Depends Recommends | sed 's/^[A-Za-z]*: //' | tr ',|' '\n\n' |
  sed 's/(.*)//; s/:any//; s/[[:space:]]//g' | grep -v '^$' | sort -u >"$TRAVAIL/nommes"
fourni() {
  local fichier=$1 paquets
  paquets=$(dpkg -S "$fichier" 2>/dev/null | grep -v '^diversion' | cut -d: -f1 | tr ', ' '\n\n' | grep -v '^$') ||
    echec "no installed package holds $fichier"
  grep -qxF -f <(echo "$paquets") "$TRAVAIL/nommes" ||
    echec "$fichier comes from $(echo $paquets), which the package neither depends on nor recommends"
}
# Libraries opened with dlopen, by the names the sources give them.
mapfile -t ouvertes < <(grep -rhoE '"lib[A-Za-z0-9_+-]+\.so(\.[0-9]+)*"' "$SOURCES/src" | tr -d '"' | sort -u)
[[ " ${ouvertes[*]} " == *" libmpv.so.2 "* ]] || echec "dlopen names found in the sources: ${ouvertes[*]}"
for nom in "${ouvertes[@]}"; do
  fourni "$(readlink -f "$(ldconfig -p | awk -v n="$nom" '$1 == n { print $NF; exit }')")"
done
# Data files the sources open by their full path (the SoundFont is a link
# kept by update-alternatives: its target is what a package holds).
mapfile -t donnees < <(grep -rhoE '"/usr/share/[^"]+\.[A-Za-z0-9]+"' "$SOURCES/src" | tr -d '"' | sort -u)
[ "${#donnees[@]}" -ge 1 ] || echec "no data path found in the sources"
for chemin in "${donnees[@]}"; do
  fourni "$(readlink -f "$chemin")"
done
# The icon theme the trees fall back on.
theme=$(grep -rhoE 'ThemeParDefaut = "[^"]+"' "$SOURCES/src" | cut -d'"' -f2)
fourni "/usr/share/icons/${theme:?no default icon theme in the sources}/index.theme"
# QDesktopServices::openUrl runs xdg-open on X11 and Wayland desktops.
grep -rq 'QDesktopServices::openUrl' "$SOURCES/src" || echec "documents are no longer opened through QDesktopServices"
fourni "$(readlink -f "$(command -v xdg-open)")"
# The SVG plugins Qt loads for the theme's scalable icons (checked below in
# the running program).
plugins=$(qtpaths6 --query QT_INSTALL_PLUGINS)
fourni "$plugins/imageformats/libqsvg.so"
fourni "$plugins/iconengines/libqsvgicon.so"

racine="$TRAVAIL/racine"
dpkg-deb -x "$deb" "$racine"
bureau="$racine/usr/share/applications/$ID.desktop"
meta="$racine/usr/share/metainfo/$ID.metainfo.xml"
man_en="$racine/usr/share/man/man1/ruvizaro.1.gz"
man_fr="$racine/usr/share/man/fr/man1/ruvizaro.1.gz"
for fichier in usr/bin/ruvizaro "$bureau" "$meta" "$man_en" "$man_fr" usr/share/doc/ruvizaro/copyright \
  usr/share/doc/ruvizaro/changelog.gz usr/share/icons/hicolor/scalable/apps/ruvizaro.svg; do
  [ -s "$racine/${fichier#"$racine"/}" ] || echec "package lacks ${fichier#"$racine"/}"
done
for cote in 16 22 24 32 48 64 128 256; do
  icone="$racine/usr/share/icons/hicolor/${cote}x${cote}/apps/ruvizaro.png"
  [ "$(identify -format '%wx%h %A' "$icone" 2>/dev/null)" = "${cote}x${cote} True" ] ||
    echec "icon ${cote}x${cote}: $(identify -format '%wx%h %A' "$icone" 2>&1)"
done

# Debian's hardening: read-only relocations bound at start, fortified libc
# calls and the stack protector in the installed binary.
BINAIRE="$racine/usr/bin/ruvizaro"
# (Whole outputs are searched: grep -q stopping early would break the pipe.)
grep -q GNU_RELRO <<<"$(readelf -lW "$BINAIRE")" || echec "no RELRO segment"
grep -Eq 'BIND_NOW|FLAGS.* NOW' <<<"$(readelf -dW "$BINAIRE")" || echec "not bound at start (-z now)"
symboles=$(readelf --dyn-syms -W "$BINAIRE")
fortifiees=$(grep -oE '__[a-z_]+_chk' <<<"$symboles" | grep -vx '__stack_chk' || true)
[ -n "$fortifiees" ] || echec "no fortified libc call"
grep -q '__stack_chk_fail' <<<"$symboles" || echec "no stack protector"

# English desktop entry and metainfo, translated into French.
desktop-file-validate "$bureau" || echec "desktop entry refused"
for ligne in 'Name=Ruvizaro' 'Exec=ruvizaro %f' 'MimeType=inode/directory;' 'Categories=Utility;FileTools;' \
  'GenericName=Files by Category' 'GenericName[fr]=Fichiers par catégorie' \
  'Comment=Your files sorted by category: video, sound, picture and text' \
  'Comment[fr]=Vos fichiers classés par catégorie : vidéo, son, image et texte' \
  'Keywords=files;folder;category;video;sound;picture;text;' \
  'Keywords[fr]=fichiers;dossier;catégorie;vidéo;son;image;texte;'; do
  grep -qxF "$ligne" "$bureau" || echec "desktop entry lacks $ligne: $(cat "$bureau")"
done
# appstreamcli fetches every address it meets (there are none to fetch).
# The one pedantic note kept: the component id has an upper-case letter,
# as the desktop entry's file name, which desktops already know, has it.
appstreamcli validate --pedantic "$meta" >"$TRAVAIL/appstream.log" 2>&1 ||
  { cat "$TRAVAIL/appstream.log" >&2; echec "metainfo refused"; }
! grep -E '^[EWIP]: ' "$TRAVAIL/appstream.log" | grep -v ': cid-contains-uppercase-letter ' ||
  echec "appstreamcli: $(cat "$TRAVAIL/appstream.log")"
[[ $(xmllint --xpath 'string(//release[@version="1.0"]/description/p[not(@xml:lang)])' "$meta") == "First packaged release"* ]] ||
  echec "the release has no English description"
[ "$(xmllint --xpath 'count(//summary[@xml:lang="fr"] | //description/p[@xml:lang="fr"])' "$meta")" -ge 3 ] ||
  echec "metainfo not translated into French"

# Both manual pages render without a warning and have every section.
for page in "$man_en" "$man_fr"; do
  avertissements=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
  [ -z "$avertissements" ] || echec "manual page ${page#"$racine"}: $avertissements"
done
verifier_sections() {
  local page=$1 texte section
  shift
  texte=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$page" 2>/dev/null)
  for section in "$@"; do
    grep -qx "$section" <<<"$texte" || echec "${page#"$racine"} lacks the section $section"
  done
  for mot in XDG_CONFIG_HOME RUVIZARO_JOURNAL HKEY_CURRENT_USER.reg 'xdg-open(1)' --help --version; do
    grep -qF -- "$mot" <<<"$texte" || echec "${page#"$racine"} does not name $mot"
  done
}
verifier_sections "$man_en" NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" ENVIRONMENT FILES BUGS "SEE ALSO"
verifier_sections "$man_fr" NOM SYNOPSIS DESCRIPTION OPTIONS "CODE DE SORTIE" ENVIRONNEMENT FICHIERS BOGUES "VOIR AUSSI"

# lintian, pedantic and with its informational tags: not one tag.
lintian -i -I --pedantic --tag-display-limit 0 "$deb" >"$TRAVAIL/lintian.log" 2>&1 ||
  { cat "$TRAVAIL/lintian.log" >&2; echec "lintian failed"; }
! grep -E '^[EWIPX]: ' "$TRAVAIL/lintian.log" || echec "lintian reports tags (above)"

# The installed program, not the build's, answers and shows its window,
# with Qt's SVG plugins loaded for the theme's icons.
[ "$("$BINAIRE" --version)" = "Ruvizaro 1.0" ] || echec "installed --version"
[[ $("$BINAIRE" -h) == "Utilisation : ruvizaro"* ]] || echec "installed -h"
demarrer
grep -q '/libqsvg' "/proc/$PID_APP/maps" || echec "Qt's SVG plugins are not loaded"
cliquer 572 13
attendre_fin
[ "$CODE" = 0 ] || echec "installed program ended with $CODE"
echo "PASS"
