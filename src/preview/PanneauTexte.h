#pragma once

// The Texte panel: the document symbol, the name, extension and size of the
// selected document. A click on the symbol opens the document.

#include "preview/Panneau.h"

class Etiquette;
class ImageComposant;

class PanneauTexte : public Panneau
{
    Q_OBJECT
public:
    static const QString PrefixeTexte; // "Texte "

    PanneauTexte(QWidget* fenetre, const TFormImage& skin);

    void Afficher(const FichierApercu& fichier) override;
    void Effacer() override;
    // The picture a click on opens the document.
    ImageComposant* Apercu() const { return ImgTextePrevisu; }

private:
    ImageComposant* ImgTextePrevisu;
    Etiquette* LabelTexteNom;
    Etiquette* LabelTexteExtension;
    Etiquette* LabelTexteTaille;
};
