#!/usr/bin/env bash
# The settings file from outside: SIGTERM, SIGINT and SIGHUP close the
# program as its close picture does (exit code 0, an order changed in the
# window saved); a settings file that is a link stays one; a FIFO in its
# place does not keep the window from showing.
source "$(dirname "$0")/commun.sh"

dossier="$XDG_CONFIG_HOME/Dudidevir"
reg="$dossier/HKEY_CURRENT_USER.reg"
mkdir -p "$dossier" "$TRAVAIL/ailleurs"
ln -s ../../ailleurs/reglages.reg "$reg"
cible="$TRAVAIL/ailleurs/reglages.reg"

for signal in TERM INT HUP; do
  rm -f "$cible"
  demarrer
  ouvrir_zone 181 || echec "SIG$signal: the Son zone does not show"
  choisir_par_extension || echec "SIG$signal: no choice in the drop-down"
  # Orders are saved at close only.
  ! grep -q '^"TreeSon"=' "$cible" || echec "SIG$signal: the order was saved before the end"
  kill -s "$signal" "$PID_APP"
  attendre_fin
  [ "$CODE" = 0 ] || echec "SIG$signal: exit code $CODE"
  grep -q '^"TreeSon"=dword:00000001$' "$cible" || echec "SIG$signal: the order is not saved: $(cat "$cible")"
  [ -L "$reg" ] || echec "SIG$signal: the settings link was replaced"
done

rm "$reg"
mkfifo "$reg"
demarrer
grep -q "n'est pas un fichier ordinaire (un tube nommé)" "$TRAVAIL/sortie.log" ||
  echec "the FIFO is not said on the error output"
# Nothing can be saved: said in a box, then the program ends.
cliquer 572 13
boite=""
boite_montree() {
  boite=$(xdotool search --onlyvisible --name '^Ruvizaro$' 2>/dev/null | head -n1 || true)
  [ -n "$boite" ]
}
attendre boite_montree || echec "the refused save is not said"
xdotool windowfocus --sync "$boite" key Return
attendre_fin
[ "$CODE" = 0 ] || echec "closing with a FIFO: exit code $CODE"
[ -p "$reg" ] || echec "the FIFO was replaced"
echo "PASS"
