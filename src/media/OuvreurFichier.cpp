#include "media/OuvreurFichier.h"

#include <utility>

OuvreurFichier::OuvreurFichier(Reponse reponse)
    : reponse_(std::move(reponse)), fil_([this](std::stop_token arret) { Travailler(std::move(arret)); })
{}

OuvreurFichier::~OuvreurFichier()
{
    fil_.request_stop();
    fil_.join();
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
