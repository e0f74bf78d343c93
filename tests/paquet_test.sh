#!/usr/bin/env bash
# The Debian package as a user gets it: made by CPack from the normal build,
# checked by desktop-file-validate, appstreamcli and lintian, unpacked into a
# scratch root, and the program started from there until its window shows.
#   paquet_test.sh CPACK BUILD_DIR
CPACK=${1:?path of cpack}
CONSTRUCTION=${2:?build directory}
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

racine="$TRAVAIL/racine"
dpkg-deb -x "$deb" "$racine"
bureau="$racine/usr/share/applications/$ID.desktop"
meta="$racine/usr/share/metainfo/$ID.metainfo.xml"
for fichier in usr/bin/ruvizaro "${bureau#"$racine"/}" "${meta#"$racine"/}" usr/share/man/man1/ruvizaro.1.gz \
  usr/share/doc/ruvizaro/copyright usr/share/doc/ruvizaro/changelog.gz usr/share/icons/hicolor/scalable/apps/ruvizaro.svg; do
  [ -s "$racine/$fichier" ] || echec "package lacks $fichier"
done
for cote in 16 22 24 32 48 64 128 256; do
  icone="$racine/usr/share/icons/hicolor/${cote}x${cote}/apps/ruvizaro.png"
  [ "$(identify -format '%wx%h %A' "$icone" 2>/dev/null)" = "${cote}x${cote} True" ] ||
    echec "icon ${cote}x${cote}: $(identify -format '%wx%h %A' "$icone" 2>&1)"
done

desktop-file-validate "$bureau" || echec "desktop entry refused"
grep -qx 'Name=Ruvizaro' "$bureau" && grep -qx 'Exec=ruvizaro %f' "$bureau" &&
  grep -qx 'MimeType=inode/directory;' "$bureau" && grep -qx 'Categories=Utility;FileTools;' "$bureau" ||
  echec "desktop entry: $(cat "$bureau")"
appstreamcli validate --no-net "$meta" >"$TRAVAIL/appstream.log" 2>&1 ||
  { cat "$TRAVAIL/appstream.log" >&2; echec "metainfo refused"; }
[ "$(grep -c '<caption>' "$meta")" -ge 2 ] || echec "screenshots without captions"
avertissements=$(man --warnings -l "$racine/usr/share/man/man1/ruvizaro.1.gz" 2>&1 >/dev/null)
[ -z "$avertissements" ] || echec "manual page: $avertissements"

lintian --tag-display-limit 0 "$deb" >"$TRAVAIL/lintian.log" 2>&1 || true
! grep -q '^E:' "$TRAVAIL/lintian.log" || { cat "$TRAVAIL/lintian.log" >&2; echec "lintian reports errors"; }

# The installed program, not the build's, answers and shows its window.
BINAIRE="$racine/usr/bin/ruvizaro"
[ "$("$BINAIRE" --version)" = "Ruvizaro 1.0" ] || echec "installed --version"
demarrer
cliquer 572 13
attendre_fin
[ "$CODE" = 0 ] || echec "installed program ended with $CODE"
echo "PASS"
