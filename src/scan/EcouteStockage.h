#pragma once

// What the store announces while it files a scan, to whoever subscribed
// (the tree manager, in the program's wiring). Called on the store worker:
// an implementation queues what it needs for the user-interface thread.
// The end of the filing is not told here: GestionScan takes it from
// Stockage::FinStockage and tells EcouteScan::FinScan.

#include "shared/Categorie.h"

#include <string>

class EcouteStockage
{
public:
    virtual ~EcouteStockage() = default;

    // A directory was filed with files of this category: the next directory
    // group of the category. Its node text, e.g. «(12) ~/Photos», is
    // Stockage::TexteRepertoire.
    virtual void RepertoireClasse(Categorie categorie) = 0;
};
