#pragma once

// Categories and orders printed by name in failure messages.

#include "shared/Categorie.h"
#include "shared/Ordre.h"

#include <ostream>

inline void PrintTo(Categorie categorie, std::ostream* sortie)
{
    *sortie << "Categorie " << static_cast<int>(categorie);
}

inline void PrintTo(Ordre ordre, std::ostream* sortie)
{
    *sortie << "Ordre " << static_cast<int>(ordre);
}
