#pragma once

// The sound player of the Son panel: loads, plays, pauses, stops and seeks
// the previewed sound file and gives the panel its times and percentage.
// What it mixes is captured for the panel's live drawing (AnimationSon).
// Files are opened and probed on a thread of its own, never on the window's:
// a load answers later (Charge); the newest one wins, an older one under
// way is abandoned.

#include "media/MoteurAudio.h"
#include "preview/AnimationSon.h"
#include "shared/DerniereDemande.h"
#include "shared/Travailleur.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>

class SourceFfmpeg;
class SourceMidi;

class Son : public QObject
{
    Q_OBJECT
public:
    // Opens the sound output (SDL's dummy driver when no device opens).
    Son();
    ~Son() override;
    Son(const Son&) = delete;
    Son& operator=(const Son&) = delete;

    // Loads the file; plays it when asked, else stands stopped at its
    // beginning. Play on the paused file resumes it, on a finished one
    // starts it again.
    void Ouvrir(std::string chemin, bool jouer);
    void Stop();
    void Pause(bool pause);
    bool LectureTerminee() const;
    void Positionner(int pourcent);
    int Pourcentage() const;
    QString TempsCourant() const;
    // Empty when the length is unknown (MIDI, an unbelievable header).
    QString DureeTotale() const;

    // A load asked for has not answered yet.
    bool Chargement() const { return chargement_; }
    // Why the last load failed, in French; empty when it did not.
    const QString& Echec() const { return echec_; }

    // The drawing of what is mixed, and one frame of it.
    AnimationSon& Animation() { return animation_; }
    bool Dessiner() { return animation_.Dessiner(*moteur_); }

    const MoteurAudio& Moteur() const { return *moteur_; }
    bool MusiqueChargee() const { return bool(musique_); }
    bool FluxCharge() const { return bool(flux_); }

    std::string FichierCourant;
    bool EnPause = false;

signals:
    // The latest load has answered: loaded, or Echec says why not.
    void Charge();

private:
    struct Demande
    {
        quint64 Generation = 0;
        std::string Chemin;
    };
    // What the loading thread made of a request.
    struct Reponse
    {
        quint64 Generation = 0;
        std::unique_ptr<SourceMidi> Musique;
        std::unique_ptr<SourceFfmpeg> Flux;
        QString Echec;
    };

    void Demander(const std::string& chemin);
    void Abandonner();
    void Charger(std::stop_token arret);
    Reponse Preparer(const Demande& demande, std::stop_token arret);
    void Recevoir();
    void Reprendre();

    // The ring the mixer writes into outlives the output.
    AnimationSon animation_;
    // Declared before the sources so that the sources go before the output.
    std::unique_ptr<MoteurAudio> moteur_;
    std::unique_ptr<SourceMidi> musique_;
    std::unique_ptr<SourceFfmpeg> flux_;

    std::string chemin_; // the file loaded or being loaded
    bool chargement_ = false;
    bool jouerALArrivee_ = false;
    QString echec_;
    quint64 generation_ = 0; // window's thread only

    DerniereDemande<Demande> boite_;
    std::mutex verrou_;
    std::optional<Reponse> reponse_; // under verrou_
    Travailleur fil_;                // last: started once everything above exists
};
