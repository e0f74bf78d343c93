#pragma once

// The Image panel: the picture fitted into the 160 × 160 frame with its
// original dimensions, name, extension and size.

#include "preview/Panneau.h"

class Etiquette;
class ImageComposant;
class TFormImage;

class PanneauImage : public Panneau
{
public:
    static const QString PrefixeDimension;   // "Dimension : "
    static const QString PrefixeImage;       // "Image "

    struct Composants
    {
        ImageComposant* Previsu = nullptr;
        Etiquette* Nom = nullptr;
        Etiquette* Extension = nullptr;
        Etiquette* Dimension = nullptr;
        Etiquette* Taille = nullptr;
        const TFormImage* Skin = nullptr;
    };

    void Lier(const Composants& composants) { c_ = composants; }

    void Afficher(const FichierApercu& fichier) override;
    void Effacer() override;

private:
    Composants c_;
};
