#!/usr/bin/env bash
# SIGTERM, SIGINT and SIGHUP close the program as its close picture does:
# exit code 0, an order changed in the window saved, through a settings
# file that is a link and stays one.
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

echo "PASS"
