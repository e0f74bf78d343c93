#include "media/ChargeurAsynchrone.h"

#include "shared/AppelDiffere.h"
#include "shared/PrioriteFil.h"
#include <QMetaObject>

#include <utility>

ChargeurAsynchrone::ChargeurAsynchrone(QObject* parent)
    : QObject(parent), fil_([this](Travailleur& fil) { Travailler(fil.Jeton()); })
{
    fil_.Demarrer();
}

ChargeurAsynchrone::~ChargeurAsynchrone()
{
    boite_.Abandonner();
    fil_.Arreter();
    // An answer posted meanwhile is discarded with this object's events.
}

void ChargeurAsynchrone::Demander(quint64 numero, std::string chemin, QSize cadre)
{
    ++generation_;
    boite_.Deposer(Demande{generation_, numero, std::move(chemin), cadre});
}

void ChargeurAsynchrone::Annuler()
{
    ++generation_;
    boite_.Abandonner();
}

void ChargeurAsynchrone::Travailler(std::stop_token arret)
{
    PrioriteFil::CederALaFenetre();
    for (;;) {
        Demande demande;
        std::stop_token arretDemande;
        if (!boite_.Prendre(arret, demande, arretDemande))
            return;

        ChargeurImage::Resultat resultat;
        const bool reussi = ChargeurImage::Charger(demande.Chemin, resultat, demande.Cadre, arretDemande);
        if (arretDemande.stop_requested())
            continue; // replaced or cancelled meanwhile: nobody wants it
        // Queued to this object: discarded if it is destroyed first.
        AppelDiffere(this, [this, generation = demande.Generation, numero = demande.Numero, reussi,
                            resultat = std::move(resultat)] { Livrer(generation, numero, reussi, resultat); });
    }
}

void ChargeurAsynchrone::Livrer(quint64 generation, quint64 numero, bool reussi,
                                const ChargeurImage::Resultat& resultat)
{
    if (generation != generation_)
        return; // a newer request, or a cancel, came after this one
    emit Charge(numero, reussi, resultat.Image, resultat.LargeurOrigine, resultat.HauteurOrigine,
                QString::fromStdString(resultat.Echec));
}
