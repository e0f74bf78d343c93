#include "scan/Scanneur.h"

#include "scan/Explorateur.h"
#include "scan/LectureAvance.h"
#include "scan/Stockage.h"
#include "shared/Travailleur.h"

#include <vector>

#include <fcntl.h>
#include <unistd.h>

bool Scanneur::RepertoireInexistant(const std::string& chemin)
{
    if (chemin.empty())
        return true;
    if (::access(chemin.c_str(), F_OK) == 0)
        return false;
    // A path too long for access(2) may still exist.
    const int fd = Explorateur::OuvrirChemin(chemin, O_PATH);
    if (fd < 0)
        return true;
    ::close(fd);
    return false;
}

void Scanneur::Scanner(const std::string& racine, Travailleur& travailleur)
{
    if (!stockage_ || !explorateur_)
        return;
    stockage_->DefinirRacine(static_cast<int32_t>(racine.size()));
    if (!ParcourirRepertoire(racine, travailleur))
        return;
    stockage_->MarquerFinParcours();
}

bool Scanneur::ParcourirRepertoire(const std::string& racine, Travailleur& travailleur)
{
    // One level per directory on the current path: its path, its rank (see
    // LectureAvance) and the names of its sub-directories not walked yet.
    struct Niveau
    {
        std::string Chemin;
        LectureAvance::Rang Rang;
        std::vector<std::string> SousRepertoires;
        size_t Suivant = 0;
    };
    std::vector<Niveau> pile;
    std::string fichiers;
    std::vector<int64_t> tailles;
    lecturesAvance_.store(0);
    // The readers stat the files the store keeps as they list them, several
    // at once on a cold disk; the store worker stats those the walk lists,
    // unless it is behind: the walk then stats them itself, so that the two
    // threads share the stats and the waiting list stays short.
    LectureAvance avance(*explorateur_, travailleur, lecteurs_, attente_, lecturesAvance_,
                         [this](std::string_view nom) { return stockage_->EstClasse(nom); });

    auto visiter = [&](std::string chemin, LectureAvance::Rang rang) {
        std::vector<std::string> sousRepertoires;
        avance.Lister(rang, chemin, sousRepertoires, fichiers, tailles, stockage_->EnRetard());
        stockage_->EmpilerNoms(chemin, std::move(fichiers), std::move(tailles));
        fichiers = {};
        tailles = {};
        pile.push_back(Niveau{std::move(chemin), std::move(rang), std::move(sousRepertoires), 0});
    };

    visiter(racine, {});
    if (ApresRacine)
        ApresRacine(travailleur);
    while (!pile.empty()) {
        Niveau& niveau = pile.back();
        if (niveau.Suivant == niveau.SousRepertoires.size()) {
            pile.pop_back();
            continue;
        }
        std::string chemin = Explorateur::Joindre(niveau.Chemin, niveau.SousRepertoires[niveau.Suivant]);
        LectureAvance::Rang rang = niveau.Rang;
        rang.push_back(static_cast<uint32_t>(niveau.Suivant));
        // The name is not needed any more; keep only what the path still needs.
        std::string().swap(niveau.SousRepertoires[niveau.Suivant]);
        ++niveau.Suivant;
        const uint64_t pauses = travailleur.NombrePauses();
        if (!travailleur.PointDeControle()) {
            return false;
        }
        // After a pause the tree may have changed: read again what was read ahead.
        if (travailleur.NombrePauses() != pauses)
            avance.Oublier();
        visiter(std::move(chemin), std::move(rang));
    }
    return true;
}
