#include "trees/ThreadPrevisualisation.h"

#include "scan/Stockage.h"

#include <utility>

ThreadPrevisualisation::ThreadPrevisualisation(Stockage* stockage, int categorie, int ordre, Noeud* noeud,
                                               PlaceNoeud place, quint64 generation)
    : categorie_(categorie), ordre_(ordre), noeud_(noeud), place_(std::move(place)), generation_(generation),
      stockage_(stockage)
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
    if (!stockage_ || !PointDeControle())
        return;
    stockage_->RemplirNoeud(categorie_, ordre_, noeud_, place_, generation_);
}
