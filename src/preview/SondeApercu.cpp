#include "preview/SondeApercu.h"

#include "scan/Descripteur.h"
#include "scan/Explorateur.h"
#include "shared/AppelDiffere.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <utility>

SondeApercu::SondeApercu(Stockage& stockage, std::function<void(const Reponse&)> reponse)
    : stockage_(stockage), reponse_(std::move(reponse)), fil_([this](Travailleur& fil) { Travailler(fil); })
{
    fil_.Demarrer();
}

SondeApercu::~SondeApercu()
{
    fil_.Arreter();
    // An answer posted meanwhile is discarded with this object's events.
}

bool SondeApercu::Existe(const std::string& chemin)
{
    if (chemin.empty())
        return false;
    if (chemin.size() < PATH_MAX)
        return ::access(chemin.c_str(), F_OK) == 0;
    return Descripteur(Explorateur::OuvrirChemin(chemin, O_PATH)).Valide();
}

void SondeApercu::Demander(const Groupe& groupe, int ligne)
{
    if (!CategorieValide(groupe.Arbre.Cat))
        return;
    const size_t slot = Slot(groupe.Arbre.Cat);
    generations_[slot] = ++suivante_;
    attendues_[slot] = true;
    {
        const std::lock_guard verrou(verrou_);
        demandes_[slot] = Demande{suivante_, groupe, ligne};
    }
    reveil_.notify_one();
}

void SondeApercu::Annuler()
{
    generations_ = {};
    attendues_ = {};
    const std::lock_guard verrou(verrou_);
    demandes_ = {};
}

bool SondeApercu::EnAttente() const
{
    return std::any_of(attendues_.begin(), attendues_.end(), [](bool attendue) { return attendue; });
}

void SondeApercu::Travailler(Travailleur& fil)
{
    const auto prete = [this] {
        return std::any_of(demandes_.begin(), demandes_.end(), [](const auto& demande) { return demande.has_value(); });
    };
    for (;;) {
        std::unique_lock verrou(verrou_);
        if (!fil.Attendre(verrou, reveil_, prete)) {
            verrou.unlock();
            if (!fil.PointDeControle())
                return;
            continue;
        }
        Demande demande;
        for (std::optional<Demande>& enAttente : demandes_)
            if (enAttente) {
                demande = std::move(*enAttente);
                enAttente.reset();
                break;
            }
        verrou.unlock();

        Reponse reponse;
        reponse.Cat = demande.Quoi.Arbre.Cat;
        reponse.Chemin = stockage_.InformationFichier(demande.Quoi, demande.Ligne, reponse.Info);
        reponse.Existe = Existe(reponse.Chemin);
        // Queued to this object: discarded if it is destroyed first.
        AppelDiffere(this, [this, generation = demande.Generation, reponse = std::move(reponse)] {
            Livrer(generation, reponse);
        });
    }
}

void SondeApercu::Livrer(uint64_t generation, const Reponse& reponse)
{
    const size_t slot = Slot(reponse.Cat);
    if (generation != generations_[slot])
        return; // a newer request of its category, or a cancel, came after it
    attendues_[slot] = false;
    if (reponse_)
        reponse_(reponse);
}
