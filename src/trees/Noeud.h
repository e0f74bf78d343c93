#pragma once

// One node of a category tree. Nodes belong to the user-interface thread:
// workers never read or write them, they hand over texts and places instead.

#include <QString>

#include <memory>
#include <vector>

struct Noeud
{
    QString Texte;
    Noeud* Parent = nullptr;       // nullptr for a top-level node
    std::vector<std::unique_ptr<Noeud>> Enfants;
    int Image = -1;                // index in ImageListExt; also the selected image
    int Index = 0;                 // position among its siblings

    // 0 for a top-level node, 1 for its children, and so on.
    int Niveau() const
    {
        int n = 0;
        for (const Noeud* p = Parent; p; p = p->Parent)
            ++n;
        return n;
    }
    const Noeud* PremierEnfant() const { return Enfants.empty() ? nullptr : Enfants.front().get(); }
};
