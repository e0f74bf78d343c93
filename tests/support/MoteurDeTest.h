#pragma once

// The engine wired as the program wires it: the extension table with the
// desktop's icons, the settings, the walker, the store and the scan driver.

#include "classification/Extension.h"
#include "scan/Explorateur.h"
#include "scan/Scanneur.h"
#include "scan/Stockage.h"
#include "shared/ListeImages.h"
#include "shared/Option.h"

#include "support/ImagesDeTest.h"

struct MoteurDeTest
{
    MoteurDeTest()
    {
        AjouterDossiers(images);
        extension.Remplir(images);
        explorateur.Lier(&option);
        stock.Lier(&extension);
        stock.Lier(&explorateur);
        scanneur.Lier(&stock);
        scanneur.Lier(&explorateur);
    }

    ListeImages images;
    Extension extension;
    Option option;
    Explorateur explorateur;
    Stockage stock;
    Scanneur scanneur;
};
