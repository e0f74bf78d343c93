#pragma once

// One node of a category tree. Nodes belong to the user-interface thread:
// workers never read or write them, they hand over texts and places instead.
// The model keeps the nodes (ReserveNoeuds) and their texts (ReserveTextes).
//
// A group node waiting to be filled holds its "..." child as a mere flag:
// the model shows it as a row; no node stands for it. A group node knows
// its group; whether it was filled is the flag. A top-level group node
// whose text its model can ask for again (ModeleArbre::DefinirSourceTextes)
// keeps none: read a node's text through ModeleArbre::Texte.

#include "trees/ListeEnfants.h"
#include "trees/TexteNoeud.h"

#include <cstdint>

class ModeleArbre;

struct Noeud
{
    TexteNoeud Texte;
    Noeud* Parent = nullptr; // nullptr for a top-level node
    ListeEnfants Enfants;    // real children, not the flagged "..."
    int Index = 0;           // position among its siblings
    // For a group node, what it groups in its tree's order (see Groupe);
    // -1 for any other node.
    int32_t Groupe = -1;
    // A file node's size in bytes; -1: not known (unreadable, or not a file).
    int64_t Octets = -1;
    int16_t Image = -1; // index in ImageListExt; also the selected image

    // 0 for a top-level node, 1 for its children, and so on.
    int Niveau() const
    {
        int n = 0;
        for (const Noeud* p = Parent; p; p = p->Parent)
            ++n;
        return n;
    }

    // Rows below the node: its real children, or 1 for a flagged "..." child.
    bool AEnfants() const { return attente_ || virtuels_ || !Enfants.empty(); }
    int NombreEnfants() const { return attente_ ? 1 : static_cast<int>(Enfants.size()); }
    // Whether the node's only child is the "..." placeholder: a group node
    // not filled yet.
    bool AttenteVirtuelle() const { return attente_; }
    // The placeholder's image.
    int ImageAttente() const { return imageAttente_; }

    // An image index as a node keeps it: -1 (none) when out of range.
    static int16_t ImageCourte(int image);

private:
    friend class ModeleArbre;
    bool attente_ = false;     // one "..." child, not stored
    int8_t imageAttente_ = -1; // that child's image
    bool texteSource_ = false; // the text comes from the model's source
    bool virtuels_ = false;    // its children are the model's list rows (no nodes)
};
