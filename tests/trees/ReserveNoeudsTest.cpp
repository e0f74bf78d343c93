// Nodes kept in blocks by their tree, and the lists of children pointing at them.

#include "trees/ListeEnfants.h"
#include "trees/Noeud.h"
#include "trees/ReserveNoeuds.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

TEST(ListeEnfants, GrowsKeepsOrderAndEmptiesToOnePointer)
{
    EXPECT_EQ(sizeof(ListeEnfants), sizeof(void*));
    std::vector<Noeud> noeuds(5000);
    ListeEnfants liste;
    EXPECT_TRUE(liste.empty());
    EXPECT_EQ(liste.size(), 0u);
    EXPECT_EQ(liste.begin(), liste.end());
    for (Noeud& n : noeuds)
        liste.push_back(&n);
    ASSERT_EQ(liste.size(), noeuds.size());
    EXPECT_EQ(liste.front(), &noeuds.front());
    EXPECT_EQ(liste.back(), &noeuds.back());
    size_t i = 0;
    for (Noeud* n : liste)
        EXPECT_EQ(n, &noeuds[i++]);
    EXPECT_EQ(i, noeuds.size());

    liste.reserve(100000); // moves the pointers, keeps them
    EXPECT_EQ(liste.size(), noeuds.size());
    EXPECT_EQ(liste[4321], &noeuds[4321]);
    liste.clear();
    EXPECT_TRUE(liste.empty());
    EXPECT_EQ(liste.begin(), liste.end());
    liste.push_back(&noeuds[7]);
    EXPECT_EQ(liste.size(), 1u);
    EXPECT_EQ(liste[0], &noeuds[7]);
}

TEST(ReserveNoeuds, GivesDistinctNodesAndReusesThoseGivenBack)
{
    ReserveNoeuds reserve;
    std::set<Noeud*> vus;
    std::vector<Noeud*> racines;
    for (int i = 0; i < 10000; ++i) { // several blocks
        Noeud* n = reserve.Nouveau();
        EXPECT_TRUE(vus.insert(n).second);
        EXPECT_EQ(n->Parent, nullptr);
        EXPECT_TRUE(n->Enfants.empty());
        EXPECT_EQ(n->Image, -1);
        EXPECT_TRUE(n->Texte.EstVide());
        n->Index = i;
        racines.push_back(n);
    }
    EXPECT_EQ(reserve.Nombre(), 10000u);
    for (int i = 0; i < 10000; ++i)
        ASSERT_EQ(racines[static_cast<size_t>(i)]->Index, i);

    // A node given back goes with the nodes below it.
    Noeud* groupe = racines[10];
    std::set<Noeud*> rendus = {groupe};
    for (int i = 0; i < 3; ++i) {
        Noeud* feuille = reserve.Nouveau();
        feuille->Parent = groupe;
        groupe->Enfants.push_back(feuille);
        feuille->Enfants.push_back(reserve.Nouveau());
        rendus.insert(feuille);
        rendus.insert(feuille->Enfants.front());
    }
    EXPECT_EQ(reserve.Nombre(), 10006u);
    reserve.Rendre(groupe);
    EXPECT_EQ(reserve.Nombre(), 9999u);
    // Their places come back before any new block.
    std::set<Noeud*> repris;
    for (int i = 0; i < 7; ++i) {
        Noeud* n = reserve.Nouveau();
        EXPECT_TRUE(n->Enfants.empty());
        EXPECT_EQ(n->Index, 0);
        repris.insert(n);
    }
    EXPECT_EQ(repris, rendus);
    EXPECT_EQ(reserve.Nombre(), 10006u);
    for (Noeud* n : repris)
        reserve.Rendre(n);

    // Emptying goes through every listed node and the nodes below them.
    ListeEnfants liste;
    for (Noeud* n : racines)
        if (n != groupe)
            liste.push_back(n);
    racines[0]->Enfants.push_back(reserve.Nouveau());
    reserve.Vider(liste);
    EXPECT_EQ(reserve.Nombre(), 0u);
    EXPECT_TRUE(liste.empty());
    Noeud* neuf = reserve.Nouveau();
    EXPECT_EQ(neuf->Index, 0);
    EXPECT_EQ(reserve.Nombre(), 1u);
    reserve.Rendre(neuf);
}

} // namespace
