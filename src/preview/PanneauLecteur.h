#pragma once

// What the Son and Video panels share: the name, extension, size and times
// of the selected file, a play/pause button whose Tag says whether it is
// playing (0 play picture, 1 pause picture), a stop button, a position bar
// and, over the bottom of the frame, why the file does not play. Each panel
// says how its player starts, pauses and stops.

#include "preview/Panneau.h"

class Etiquette;
class ImageComposant;
class QSlider;

class PanneauLecteur : public Panneau
{
    Q_OBJECT
public:
    static const QString TempsNul; // "00:00:00"

    using Panneau::Panneau;

    void Effacer() override;
    void Montrer(bool montrer) override;
    // The play button: starts, pauses, resumes. Nothing without a file.
    void PlayPause();
    // Stops and rewinds; the button shows play again, the bar 0.
    void Stop();

    // What the keyboard and screen readers reach: the commands in their Tab
    // order, then the two times.
    struct Commandes
    {
        ImageComposant* PlayPause;
        ImageComposant* Stop;
        QSlider* Position;
        Etiquette* Temps;
        Etiquette* Duree;
    };
    Commandes CommandesAccessibles() const { return {PlayPauseBouton, StopBouton, Barre, DureeCourant, DureeTotale}; }

protected:
    // Starts the previewed file, or resumes it when paused.
    virtual void Jouer() = 0;
    virtual void MettreEnPause() = 0;
    virtual void Arreter() = 0;

    // Builds the components below the panel's picture, named after the
    // panel ("Son", "Video"): LabelSonNom, ImageSonPlayPause, TrackBarSon …
    void CreerCommandes(const QString& quoi);
    // The labels every selection fills first: name, "<prefixe><EXT>", the
    // bar at 0, the size rule, the current time at zero.
    void AfficherEntete(const FichierApercu& fichier, const QString& prefixe);
    // The play picture with Tag 0, the pause picture with Tag 1.
    void MontrerPlay();
    void MontrerPause();
    // Why the file does not play ("Lecture impossible : …"); empty hides it.
    void DireEchec(const QString& raison);
    // Moves the bar to where the player is, unless it is there already.
    void SuivrePosition(int pourcentage);

    Etiquette* Nom = nullptr;
    Etiquette* Extension = nullptr;
    Etiquette* Taille = nullptr;
    Etiquette* DureeCourant = nullptr;
    Etiquette* DureeTotale = nullptr;
    ImageComposant* PlayPauseBouton = nullptr;
    ImageComposant* StopBouton = nullptr;
    Etiquette* Message = nullptr;
    QSlider* Barre = nullptr;
};
