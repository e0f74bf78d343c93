#include "media/OuvreurFichier.h"

#include <utility>

OuvreurFichier::OuvreurFichier(Reponse reponse)
    : reponse_(std::move(reponse)), fil_([this](Travailleur& fil) { Travailler(fil.Jeton()); })
{
    fil_.Demarrer();
}

OuvreurFichier::~OuvreurFichier()
{
    fil_.Arreter();
}

void OuvreurFichier::Demander(std::uint64_t numero, std::string chemin)
{
    {
        const std::lock_guard verrou(verrou_);
        boite_ = Demande{numero, std::move(chemin)};
    }
    reveil_.notify_one();
}

void OuvreurFichier::Travailler(std::stop_token arret)
{
    for (;;) {
        Demande demande;
        {
            std::unique_lock verrou(verrou_);
            if (!reveil_.wait(verrou, arret, [this] { return boite_.has_value(); }))
                return;
            demande = std::move(*boite_);
            boite_.reset();
        }
        reponse_(demande.Numero, FichierMedia::Ouvrir(demande.Chemin));
    }
}
