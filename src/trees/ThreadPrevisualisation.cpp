#include "trees/ThreadPrevisualisation.h"

#include "scan/Stockage.h"
#include "trees/GestionTreeView.h"

#include <utility>

ThreadPrevisualisation::ThreadPrevisualisation(Stockage* stockage, GestionTreeView* arbres, Groupe groupe, Noeud* noeud,
                                               quint64 generation)
    : groupe_(groupe), noeud_(noeud), generation_(generation), stockage_(stockage), arbres_(arbres)
{
    Demarrer();
}

ThreadPrevisualisation::~ThreadPrevisualisation()
{
    // The thread must be gone before the members it reads.
    Arreter();
}

void ThreadPrevisualisation::Execute()
{
    // A job stopped before it began leaves the placeholder in place.
    if (!stockage_ || !arbres_ || !PointDeControle())
        return;
    std::vector<EnfantNoeud> enfants = stockage_->EnfantsGroupe(groupe_);
    if (!PointDeControle())
        return;
    arbres_->RemplacerEnfants(groupe_.Arbre, noeud_, generation_, std::move(enfants));
}
