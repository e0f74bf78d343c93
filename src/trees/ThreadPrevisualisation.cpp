#include "trees/ThreadPrevisualisation.h"

#include "scan/Stockage.h"

#include <utility>

ThreadPrevisualisation::ThreadPrevisualisation(Stockage* stockage, Groupe groupe, Noeud* noeud, quint64 generation,
                                               Livraison livrer)
    : groupe_(groupe), noeud_(noeud), generation_(generation), stockage_(stockage), livrer_(std::move(livrer))
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
    if (!stockage_ || !livrer_ || !PointDeControle())
        return;
    std::vector<EnfantNoeud> enfants = stockage_->EnfantsGroupe(groupe_);
    if (!PointDeControle())
        return;
    livrer_(std::move(enfants));
}
