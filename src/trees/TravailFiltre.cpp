#include "trees/TravailFiltre.h"

#include "classification/NomFichier.h"

#include <pthread.h>

TravailFiltre::TravailFiltre(Stockage& stockage, Reponse reponse)
    : stockage_(stockage), reponse_(std::move(reponse)),
      travailleur_([this](Travailleur& travailleur) { Boucle(travailleur); })
{
    travailleur_.Demarrer();
}

TravailFiltre::~TravailFiltre()
{
    ++dernier_;             // a filtering under way gives up
    travailleur_.Arreter(); // ends the wait, joins
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
    {
        std::lock_guard verrou(verrou_);
        enAttente_ = false;
        oublier_ = true;
        ++dernier_;
    }
    reveil_.notify_all(); // the bits kept go at once: no filter, no memory
}

void TravailFiltre::Boucle(Travailleur& travailleur)
{
    pthread_setname_np(pthread_self(), "ruvizaro-filtre");
    for (;;) {
        Demande demande;
        {
            std::unique_lock verrou(verrou_);
            if (!travailleur.Attendre(verrou, reveil_, [this] { return enAttente_ || oublier_; })) {
                verrou.unlock();
                if (!travailleur.PointDeControle())
                    return;
                continue;
            }
            if (oublier_)
                precedents_.clear();
            oublier_ = false;
            if (!enAttente_)
                continue;
            demande = std::move(demande_);
            enAttente_ = false;
        }
        auto filtre = std::make_shared<Stockage::Filtre>();
        const quint64 numero = demande.Numero;
        const Precedent* plusEtroit = nullptr;
        for (const Precedent& p : precedents_)
            if (p.Origine.Cat == demande.Cat && p.Origine.RepertoiresMax == demande.RepertoiresMax &&
                demande.Replie.find(p.Origine.Replie) != std::string::npos &&
                (!plusEtroit || p.Origine.Replie.size() > plusEtroit->Origine.Replie.size()))
                plusEtroit = &p;
        const bool fini = stockage_.Filtrer(
            demande.Cat, demande.Replie, demande.RepertoiresMax, [this, numero] { return dernier_.load() != numero; },
            *filtre, plusEtroit ? &plusEtroit->Bits : nullptr);
        if (!fini)
            continue;
        // The same text again replaces its older entry.
        for (auto p = precedents_.begin(); p != precedents_.end(); ++p)
            if (p->Origine.Cat == demande.Cat && p->Origine.RepertoiresMax == demande.RepertoiresMax &&
                p->Origine.Replie == demande.Replie) {
                precedents_.erase(p);
                break;
            }
        precedents_.push_front(Precedent{std::move(demande), filtre->Bits});
        if (precedents_.size() > PrecedentsMax)
            precedents_.pop_back();
        if (dernier_.load() == numero)
            reponse_(numero, std::move(filtre));
    }
}
