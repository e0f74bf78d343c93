#pragma once

// Categories, orders and drawings printed by name in failure messages.

#include "shared/Categorie.h"
#include "shared/Dessin.h"
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

inline void PrintTo(Dessin dessin, std::ostream* sortie)
{
    *sortie << "Dessin " << static_cast<int>(dessin);
}
