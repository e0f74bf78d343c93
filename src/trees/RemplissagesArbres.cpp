#include "trees/RemplissagesArbres.h"

#include "shared/AppelDiffere.h"
#include "shared/Journal.h"
#include "trees/ArbreCategorie.h"
#include "trees/ModeleArbre.h"
#include "trees/ThreadPrevisualisation.h"
#include "trees/VuesArbres.h"

#include <memory>
#include <utility>

RemplissagesArbres::RemplissagesArbres(VuesArbres& vues, Stockage& stockage) : vues_(vues), stockage_(stockage)
{
    for (CleArbre cle : ToutesLesVues)
        connect(vues_.Arbre(cle), &ArbreCategorie::Deploiement, this, [this, cle](Noeud* noeud) {
            if (noeud && noeud->AttenteVirtuelle())
                Lancer(cle, noeud);
        });
}

RemplissagesArbres::~RemplissagesArbres()
{
    Suspendre();
}

void RemplissagesArbres::RemplacerEnfants(CleArbre cle, Noeud* noeud, quint64 generation,
                                          std::vector<EnfantNoeud> enfants, int32_t nombre)
{
    auto partages = std::make_shared<std::vector<EnfantNoeud>>(std::move(enfants));
    AppelDiffere(this, [this, cle, noeud, generation, partages, nombre] {
        ArbreCategorie* arbre = vues_.Arbre(cle);
        if (!arbre || arbre->Generation() != generation)
            return; // the node went with its tree's last clearing
        if (cle.Ord == Ordre::Taille) {
            arbre->DefinirLignes(noeud, nombre, std::move(*partages));
            // What its first row shows, for the journal's readers.
            const ModeleArbre* modele = arbre->Modele();
            const QModelIndex premier = modele->index(0, 0, modele->IndexDe(noeud));
            Journal::Ecrire(QStringLiteral("par-taille categorie=%1 fichiers=%2 premier=%3 taille=%4")
                                .arg(Code(cle.Cat))
                                .arg(nombre)
                                .arg(premier.data().toString(),
                                     modele->TexteTaille(premier.siblingAtColumn(ModeleArbre::ColonneTaille))));
        } else
            arbre->RemplacerEnfants(noeud, *partages);
    });
}

void RemplissagesArbres::Lancer(CleArbre cle, Noeud* noeud)
{
    ArbreCategorie* arbre = vues_.Arbre(cle);
    if (!noeud || !arbre || !noeud->AttenteVirtuelle())
        return;
    const quint64 generation = arbre->Generation();
    LibererTermines();
    // The placeholder stays until the children arrive: a second expansion
    // meanwhile must not start a second job.
    for (const auto& job : jobs_)
        if (job->NoeudCible() == noeud && job->Generation() == generation && job->Cle() == cle)
            return;
    jobs_.push_back(std::make_unique<ThreadPrevisualisation>(
        &stockage_, Groupe{cle, noeud->Groupe}, noeud, generation,
        [this, cle, noeud, generation](std::vector<EnfantNoeud> enfants, int32_t nombre) {
            RemplacerEnfants(cle, noeud, generation, std::move(enfants), nombre);
        }));
}

void RemplissagesArbres::LibererTermines()
{
    std::erase_if(jobs_, [this](const std::unique_ptr<ThreadPrevisualisation>& job) {
        const ArbreCategorie* arbre = vues_.Arbre(job->Cle());
        const bool noeudVivant = arbre && arbre->Generation() == job->Generation();
        // Same generation: the node is alive. Once its placeholder has gone
        // its children are in, and the job has only to return (its
        // destructor waits for that moment).
        if (noeudVivant)
            return !job->NoeudCible()->AttenteVirtuelle();
        return job->Fini(); // the node went with its tree
    });
}

void RemplissagesArbres::Suspendre()
{
    for (const auto& job : jobs_)
        if (!job->Termine())
            job->Arreter();
    jobs_.clear();
}
