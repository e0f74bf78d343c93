#pragma once

// A fill job: fills one expanded group node from the store on its own
// thread. The node's group and its tree's generation are taken on the
// user-interface thread beforehand; the job never reads the node, and hands
// the sorted children to the function it was given, which applies them
// only if the tree still holds the node. A biggest-first group (a whole
// category) is too long to hand over whole: the job sorts it in the store
// and hands over its first page and its number of files.

#include "shared/EnfantNoeud.h"
#include "shared/Groupe.h"
#include "shared/Travailleur.h"

#include <QtGlobal>

#include <functional>
#include <vector>

class Stockage;
struct Noeud;

class ThreadPrevisualisation : public Travailleur
{
public:
    // Called on the job's thread with the group's children (the first
    // ones when `nombre`, the group's number of files, is larger).
    using Livraison = std::function<void(std::vector<EnfantNoeud> enfants, int32_t nombre)>;
    // The rows a biggest-first group hands over at once.
    static constexpr size_t PremieresLignes = 256;

    // Starts at once.
    ThreadPrevisualisation(Stockage* stockage, Groupe groupe, Noeud* noeud, quint64 generation, Livraison livrer);
    ~ThreadPrevisualisation() override;

    CleArbre Cle() const { return groupe_.Arbre; }
    Noeud* NoeudCible() const { return noeud_; }
    quint64 Generation() const { return generation_; }

protected:
    void Execute() override;

private:
    const Groupe groupe_;
    Noeud* const noeud_; // handed back to the tree, never read here
    const quint64 generation_;
    Stockage* const stockage_;
    const Livraison livrer_;
};
