#pragma once

// The engine wired as the program wires it: the extension table with its
// icon indexes, the settings, the walker, the store and the scan driver.

#include "classification/Extension.h"
#include "scan/Explorateur.h"
#include "scan/Scanneur.h"
#include "scan/Stockage.h"
#include "shared/Option.h"

#include <cstdint>
#include <string>

// The icon indexes the window's image list gives the table's rows: after
// its two folders, one per row in order.
inline Extension::Icones IconesApresDossiers()
{
    return [suivante = int32_t(2)](const std::string&, Categorie) mutable { return suivante++; };
}

struct MoteurDeTest
{
    MoteurDeTest()
    {
        extension.Remplir(IconesApresDossiers());
        explorateur.Lier(&option);
        stock.Lier(&extension);
        stock.Lier(&explorateur);
        scanneur.Lier(&stock);
        scanneur.Lier(&explorateur);
    }

    Extension extension;
    Option option;
    Explorateur explorateur;
    Stockage stock;
    Scanneur scanneur;
};
