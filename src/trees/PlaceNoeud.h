#pragma once

// Where a node stands in its tree, copied on the user-interface thread so
// that a worker can find the node's files without touching the node itself.

#include "trees/Noeud.h"

#include <QString>

struct PlaceNoeud
{
    int Niveau = 0;          // 0 top level
    int Index = 0;           // among its siblings
    int IndexParent = -1;    // the parent's index among its siblings, -1 at top level
    int NiveauParent = -1;   // the parent's level, -1 at top level
    QString Texte;
    QString TexteParent;

    static PlaceNoeud De(const Noeud* noeud)
    {
        PlaceNoeud p;
        if (!noeud)
            return p;
        p.Niveau = noeud->Niveau();
        p.Index = noeud->Index;
        p.Texte = noeud->Texte;
        if (noeud->Parent) {
            p.IndexParent = noeud->Parent->Index;
            p.NiveauParent = p.Niveau - 1;
            p.TexteParent = noeud->Parent->Texte;
        }
        return p;
    }
};
