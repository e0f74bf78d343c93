#pragma once

// The Son panel: the selected sound's name, extension, size and times, its
// play/pause and stop buttons and its position bar, over the sound player.

#include "preview/Panneau.h"

class Etiquette;
class ImageComposant;
class QSlider;
class Son;
class TFormImage;

class PanneauSon : public Panneau
{
public:
    static const QString PrefixeSon;   // "Son "
    static const QString TempsNul;     // "00:00:00"

    struct Composants
    {
        ImageComposant* Image = nullptr;       // ImageSon: empty while the drawing may show
        ImageComposant* PlayPause = nullptr;
        Etiquette* Nom = nullptr;
        Etiquette* Extension = nullptr;
        Etiquette* Taille = nullptr;
        Etiquette* DureeCourant = nullptr;
        Etiquette* DureeTotale = nullptr;
        QSlider* Barre = nullptr;
        const TFormImage* Skin = nullptr;
    };

    void Lier(const Composants& composants, Son* son)
    {
        c_ = composants;
        son_ = son;
    }

    // Loads the file without playing it, whether or not it exists.
    void Afficher(const FichierApercu& fichier) override;
    void Effacer() override;

    // The play button: starts, pauses, resumes.
    void PlayPause();
    // Stops and rewinds; the button shows play again.
    void Stop();

private:
    void MontrerPlay();

    Composants c_;
    Son* son_ = nullptr;
};
