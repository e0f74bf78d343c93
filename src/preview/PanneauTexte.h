#pragma once

// The Texte panel: the document symbol, the name, extension and size of the
// selected document.

#include "preview/Panneau.h"

class Etiquette;
class ImageComposant;
class TFormImage;

class PanneauTexte : public Panneau
{
public:
    static const QString PrefixeTexte;   // "Texte "

    struct Composants
    {
        ImageComposant* Previsu = nullptr;
        Etiquette* Nom = nullptr;
        Etiquette* Extension = nullptr;
        Etiquette* Taille = nullptr;
        const TFormImage* Skin = nullptr;
    };

    void Lier(const Composants& composants) { c_ = composants; }

    void Afficher(const FichierApercu& fichier) override;
    void Effacer() override;

private:
    Composants c_;
};
