#pragma once

// The sound player of the Son panel: loads, plays, pauses, stops and seeks
// the previewed sound file and gives the panel its times and percentage.
// What it mixes is captured for the panel's live drawing (AnimationSon).

#include "media/MoteurAudio.h"
#include "preview/AnimationSon.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <string>

class SourceFfmpeg;
class SourceMidi;

class Son
{
public:
    // Opens the sound output (SDL's dummy driver when no device opens).
    Son();
    ~Son();
    Son(const Son&) = delete;
    Son& operator=(const Son&) = delete;

    // Loads the file; plays it when asked, else stands stopped at its beginning.
    void Ouvrir(std::string chemin, bool jouer);
    void Stop();
    void Pause(bool pause);
    bool LectureTerminee() const;
    void Positionner(int pourcent);
    int Pourcentage() const;
    QString TempsCourant() const;
    QString DureeTotale() const;

    // The drawing of what is mixed, and one frame of it.
    AnimationSon& Animation() { return animation_; }
    bool Dessiner() { return animation_.Dessiner(*moteur_); }

    const MoteurAudio& Moteur() const { return *moteur_; }
    bool MusiqueChargee() const { return bool(musique_); }
    bool FluxCharge() const { return bool(flux_); }

    std::string FichierCourant;
    bool EnPause = false;

private:
    // The ring the mixer writes into outlives the output.
    AnimationSon animation_;
    // Declared before the sources so that the sources go before the output.
    std::unique_ptr<MoteurAudio> moteur_;
    std::unique_ptr<SourceMidi> musique_;
    std::unique_ptr<SourceFfmpeg> flux_;
};
