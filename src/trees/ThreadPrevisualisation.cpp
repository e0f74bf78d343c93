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
    if (groupe_.Arbre.Ord == Ordre::Taille) {
        // The sort happens here, at the first rows' reading.
        std::vector<EnfantNoeud> premieres = stockage_->EnfantsGroupe(groupe_, 0, PremieresLignes);
        const int32_t nombre = stockage_->NombreFichiers(groupe_);
        if (PointDeControle())
            livrer_(std::move(premieres), nombre);
        return;
    }
    std::vector<EnfantNoeud> enfants = stockage_->EnfantsGroupe(groupe_);
    if (!PointDeControle())
        return;
    const auto nombre = static_cast<int32_t>(enfants.size());
    livrer_(std::move(enfants), nombre);
}
