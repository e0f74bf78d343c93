#pragma once

// What the Son and Video panels share: the name, extension, size and times
// of the selected file, a play/pause button whose Tag says whether it is
// playing (0 play picture, 1 pause picture), a stop button and a position
// bar. Each panel says how its player starts, pauses and stops.

#include "preview/Panneau.h"

class Etiquette;
class ImageComposant;
class QSlider;
class TFormImage;

class PanneauLecteur : public Panneau
{
public:
    static const QString TempsNul;   // "00:00:00"

    struct Composants
    {
        ImageComposant* Image = nullptr;   // the panel's picture (ImageSon, ImageVideo)
        ImageComposant* PlayPause = nullptr;
        Etiquette* Nom = nullptr;
        Etiquette* Extension = nullptr;
        Etiquette* Taille = nullptr;
        Etiquette* DureeCourant = nullptr;
        Etiquette* DureeTotale = nullptr;
        QSlider* Barre = nullptr;
        const TFormImage* Skin = nullptr;
    };

    void Lier(const Composants& composants) { c_ = composants; }

    void Effacer() override;
    // The play button: starts, pauses, resumes. Nothing without a file.
    void PlayPause();
    // Stops and rewinds; the button shows play again.
    void Stop();

protected:
    // Starts the previewed file, or resumes it when paused.
    virtual void Jouer() = 0;
    virtual void MettreEnPause() = 0;
    virtual void Arreter() = 0;

    // The labels every selection fills first: name, "<prefixe><EXT>", the
    // bar at 0, the size rule, the current time at zero.
    void AfficherEntete(const FichierApercu& fichier, const QString& prefixe);
    // The play picture with Tag 0.
    void MontrerPlay();

    Composants c_;
};
