#include "trees/TravailFiltre.h"

#include "classification/NomFichier.h"

TravailFiltre::TravailFiltre(Stockage& stockage, Reponse reponse)
    : stockage_(stockage), reponse_(std::move(reponse)), thread_([this] { Boucle(); })
{
}

TravailFiltre::~TravailFiltre()
{
    {
        std::lock_guard verrou(verrou_);
        fin_ = true;
        ++dernier_;
    }
    reveil_.notify_all();
    thread_.join();
}

quint64 TravailFiltre::Demander(Categorie categorie, const std::string& texte, int32_t repertoiresMax)
{
    Demande demande;
    demande.Cat = categorie;
    demande.RepertoiresMax = repertoiresMax;
    NomFichier::AjouterReplie(texte, demande.Replie);
    quint64 numero = 0;
    {
        std::lock_guard verrou(verrou_);
        numero = demande.Numero = ++dernier_;
        demande_ = std::move(demande);
        enAttente_ = true;
    }
    reveil_.notify_all();
    return numero;
}

void TravailFiltre::Abandonner()
{
    std::lock_guard verrou(verrou_);
    enAttente_ = false;
    ++dernier_;
}

void TravailFiltre::Boucle()
{
    for (;;) {
        Demande demande;
        {
            std::unique_lock verrou(verrou_);
            reveil_.wait(verrou, [this] { return fin_ || enAttente_; });
            if (fin_)
                return;
            demande = std::move(demande_);
            enAttente_ = false;
        }
        auto filtre = std::make_shared<Stockage::Filtre>();
        const quint64 numero = demande.Numero;
        const bool fini = stockage_.Filtrer(demande.Cat, demande.Replie, demande.RepertoiresMax,
                                            [this, numero] { return dernier_.load() != numero; }, *filtre);
        if (fini && dernier_.load() == numero)
            reponse_(numero, std::move(filtre));
    }
}
