#include "scan/Scanneur.h"

#include "scan/Explorateur.h"
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
    // One level per directory on the current path: its path and the names of
    // its sub-directories not walked yet.
    struct Niveau
    {
        std::string Chemin;
        std::vector<std::string> SousRepertoires;
        size_t Suivant = 0;
    };
    std::vector<Niveau> pile;
    std::vector<std::string> fichiers;

    auto visiter = [&](std::string chemin) {
        std::vector<std::string> sousRepertoires;
        explorateur_->ListerRepertoire(chemin, sousRepertoires, fichiers);
        stockage_->EmpilerRepertoire(chemin, std::move(fichiers));
        fichiers = {};
        pile.push_back(Niveau{std::move(chemin), std::move(sousRepertoires), 0});
    };

    visiter(racine);
    while (!pile.empty()) {
        Niveau& niveau = pile.back();
        if (niveau.Suivant == niveau.SousRepertoires.size()) {
            pile.pop_back();
            continue;
        }
        std::string chemin = Explorateur::Joindre(niveau.Chemin, niveau.SousRepertoires[niveau.Suivant]);
        // The name is not needed any more; keep only what the path still needs.
        std::string().swap(niveau.SousRepertoires[niveau.Suivant]);
        ++niveau.Suivant;
        if (!travailleur.PointDeControle())
            return false;
        visiter(std::move(chemin));
    }
    return true;
}
