#pragma once

// A fill job: fills one expanded group node from the store on its own
// thread. The node's place and its tree's generation are taken on the
// user-interface thread beforehand; the job never reads the node, and the
// tree applies the children only if it still holds the node.

#include "shared/Travailleur.h"
#include "trees/PlaceNoeud.h"

#include <QtGlobal>

class Stockage;

class ThreadPrevisualisation : public Travailleur
{
public:
    // Starts at once.
    ThreadPrevisualisation(Stockage* stockage, int categorie, int ordre, Noeud* noeud, PlaceNoeud place,
                           quint64 generation);
    ~ThreadPrevisualisation() override;

    int Categorie() const { return categorie_; }
    int Ordre() const { return ordre_; }
    Noeud* NoeudCible() const { return noeud_; }
    quint64 Generation() const { return generation_; }

protected:
    void Execute() override;

private:
    const int categorie_;
    const int ordre_;
    Noeud* const noeud_;   // handed back to the tree, never read here
    const PlaceNoeud place_;
    const quint64 generation_;
    Stockage* const stockage_;
};
