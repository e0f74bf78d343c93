#pragma once

// The rows below a tree node, as the view shows them: its children's
// texts, or "..." for a group still to be filled.

#include "trees/Noeud.h"

#include <QString>

#include <vector>

inline std::vector<QString> LignesNoeud(const Noeud* parent)
{
    if (parent->AttenteVirtuelle())
        return {"..."};
    std::vector<QString> textes;
    for (const auto& enfant : parent->Enfants)
        textes.push_back(enfant->Texte);
    return textes;
}
