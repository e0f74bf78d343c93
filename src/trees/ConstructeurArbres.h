#pragma once

// Builds the trees of a category from counts: the alphabetical skeleton
// (digits, the 26 letters, the rest), one "Par Extension" node per
// extension found in table order, the "Par Répertoire" roots, and the one
// group node of the biggest-first list. The
// counts are the store's, or those a filtering kept. It keeps nothing
// between two calls. User-interface thread only.

#include "scan/Stockage.h"
#include "shared/Categorie.h"

#include <array>
#include <cstdint>
#include <functional>

class Extension;
class VuesArbres;

class ConstructeurArbres
{
public:
    ConstructeurArbres(VuesArbres& vues, const Stockage& stockage, const Extension& extension);

    // Clears the alphabetical and by-extension trees and the biggest-first
    // lists, and builds the four alphabetical skeletons and the lists' group
    // nodes from the store's counts.
    void ConstruireAlphabetique();
    // One "Par Extension" node per extension found, in table order.
    void RemplirArbresExtension();
    // Builds a category's three trees again: the files a filtering kept
    // (the directory groups it found), or, without one, the whole store's
    // counts and its first `racines` directory groups. The caller stops
    // the fill jobs first.
    void ReconstruireCategorie(Categorie categorie, const Stockage::Filtre* filtre, int racines);
    // Appends `nombre` "Par Répertoire" roots, which show the store's texts.
    void AjouterRepertoires(Categorie categorie, int nombre);

private:
    void ConstruireParTaille(Categorie categorie, int64_t nombre);
    void ConstruireLettres(Categorie categorie, const std::array<int32_t, Stockage::NombreLettres>& nombres);
    // Per extension row, the count shown; -1: no such group.
    void ConstruireExtensions(Categorie categorie, const std::function<int32_t(int)>& nombreDe);
    void ConstruireExtensionsStockees(Categorie categorie);

    VuesArbres& vues_;
    const Stockage& stockage_;
    const Extension& extension_;
};
