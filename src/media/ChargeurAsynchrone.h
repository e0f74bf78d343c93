#pragma once

// Loads preview pictures on a worker thread of its own, so that the window's
// thread never waits for a decode. The newest request wins: an older one not
// yet started is dropped, one under way is stopped at its next read or row
// of blocks and its result is never delivered, so that neither the next
// picture nor the end of the program waits for it. Lives on the thread that
// creates it.

#include "media/ChargeurImage.h"
#include "shared/DerniereDemande.h"
#include "shared/Travailleur.h"

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>

#include <mutex>
#include <optional>
#include <stop_token>
#include <string>

class ChargeurAsynchrone : public QObject
{
    Q_OBJECT

public:
    explicit ChargeurAsynchrone(QObject* parent = nullptr);
    // Stops the decode under way and waits for the thread; nothing is
    // delivered afterwards.
    ~ChargeurAsynchrone() override;

    ChargeurAsynchrone(const ChargeurAsynchrone&) = delete;
    ChargeurAsynchrone& operator=(const ChargeurAsynchrone&) = delete;

    // Asks for the picture at chemin (path bytes as on disk) fitted into
    // cadre, replacing every request not yet answered. numero comes back with
    // the answer. Call from the owning thread only.
    void Demander(quint64 numero, std::string chemin, QSize cadre = QSize(ChargeurImage::Cote, ChargeurImage::Cote));
    // Drops every request not yet answered: no Charge follows for them.
    void Annuler();

signals:
    // The answer to the latest request, on the owning thread. When reussi is
    // false the picture is null and both sides are 0; echec says why when the
    // file could not be opened ("Lecture impossible : …"), and is empty when
    // it is no picture that decodes.
    void Charge(quint64 numero, bool reussi, QImage image, int largeurOrigine, int hauteurOrigine, QString echec);

private:
    struct Demande
    {
        quint64 Generation = 0;
        quint64 Numero = 0;
        std::string Chemin;
        QSize Cadre;
    };

    void Travailler(std::stop_token arret);
    void Livrer(quint64 generation, quint64 numero, bool reussi, const ChargeurImage::Resultat& resultat);

    DerniereDemande<Demande> boite_;
    // The latest request's generation: only its answer is delivered. Owning thread only.
    quint64 generation_ = 0;
    Travailleur fil_; // last: started once everything above exists
};
