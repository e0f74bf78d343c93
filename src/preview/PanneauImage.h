#pragma once

// The Image panel: the picture fitted into the 160 × 160 frame with its
// original dimensions, name, extension and size; a file that cannot be
// read says so. Pictures are decoded off
// the user-interface thread; the newest selection wins.

#include "media/ChargeurAsynchrone.h"
#include "preview/Panneau.h"

#include <QtGlobal>

class Etiquette;
class ImageComposant;

class PanneauImage : public Panneau
{
    Q_OBJECT
public:
    static const QString PrefixeDimension; // "Dimension : "
    static const QString PrefixeImage;     // "Image "

    PanneauImage(QWidget* fenetre, const TFormImage& skin);

    void Afficher(const FichierApercu& fichier) override;
    void Effacer() override;
    void Montrer(bool montrer) override;

    // Whether the picture of the last selection is still being decoded.
    bool ChargementEnCours() const { return attendu_ != 0; }
    // The picture a double click on shows larger.
    ImageComposant* Apercu() const { return ImgImagePrevisu; }

private:
    void Appliquer(quint64 numero, bool reussi, const QImage& image, int largeur, int hauteur, const QString& echec);

    Etiquette* LabelImageNom;
    Etiquette* LabelImageExtension;
    Etiquette* LabelImageDimension;
    Etiquette* LabelImageTaille;
    ImageComposant* ImgImagePrevisu;
    Etiquette* LabelImageMessage; // why a picture cannot be read
    ChargeurAsynchrone chargeur_;
    quint64 numero_ = 0;  // of the last request
    quint64 attendu_ = 0; // the request whose answer is awaited, 0 for none
};
