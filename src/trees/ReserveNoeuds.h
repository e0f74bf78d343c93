#pragma once

// The nodes of one tree, in blocks of up to 2 048: no allocation per node.
// A node given back, with the nodes below it, leaves its place to the next.

#include "trees/Noeud.h"

#include <cstddef>
#include <vector>

class ReserveNoeuds
{
public:
    ReserveNoeuds() = default;
    ~ReserveNoeuds();
    ReserveNoeuds(const ReserveNoeuds&) = delete;
    ReserveNoeuds& operator=(const ReserveNoeuds&) = delete;

    // A default node.
    Noeud* Nouveau();
    // Destroys noeud and every node below it; their places are reused.
    void Rendre(Noeud* noeud);
    // Destroys every node below each of liste and them, then frees every
    // block: no node of this reserve may remain elsewhere.
    void Vider(ListeEnfants& liste);
    // Nodes alive.
    size_t Nombre() const { return vivants_; }

private:
    struct Libre
    {
        Libre* Suivant;
    };
    struct Bloc
    {
        Noeud* Debut;
        size_t Taille;
    };
    void Detruire(Noeud* noeud);

    std::vector<Bloc> blocs_;
    Noeud* prochain_ = nullptr; // the next never used place of the last block
    size_t reste_ = 0;
    size_t tailleBloc_ = 0;
    Libre* libres_ = nullptr;
    size_t vivants_ = 0;
};
