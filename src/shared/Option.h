#pragma once

// The user's settings for the whole run: the three walk options, the order
// shown for each category's trees and the sound drawing, typed as the
// settings file stores them. The one owner of these values: the tree
// manager and the sound player read and write them here. Loaded once at
// start-up, saved at close.

#include "shared/Categorie.h"
#include "shared/Resultat.h"

#include <atomic>
#include <cstdint>

class Option
{
public:
    static constexpr const char* Racine = "HKEY_CURRENT_USER";
    static constexpr const char* Cle = "Software\\Dudidevir\\Ruvizaro\\1.0";

    // Reads the eight values and writes the defaults of the missing ones; a
    // folder that refuses the write is said once on the error output, in
    // French, and the run goes on with the values read. A value of the wrong
    // type is the result's error: the start-up cannot go on.
    Resultat<void> Charger();
    // Writes the eight values in one save (DessinSon out of 1..3 as 1); the
    // result's error is the registry's (a refused write: "Failed to set data
    // for '...'").
    Resultat<void> Sauver();

    // Read by the scan worker at every listing.
    std::atomic<bool> FichierCache{true};
    std::atomic<bool> RepertoireCache{true};
    std::atomic<bool> SousRepertoire{true};
    int32_t DessinSon = 0;
    int32_t TreeVideo = 0;
    int32_t TreeSon = 0;
    int32_t TreeImage = 0;
    int32_t TreeTexte = 0;

    // The stored tree order of one of the four categories.
    int32_t& OrdreArbre(Categorie categorie);
};
