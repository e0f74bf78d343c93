#include "preview/PanneauImage.h"

#include "widgets/Etiquette.h"
#include "widgets/ImageComposant.h"
#include "widgets/TFormImage.h"

#include <QPixmap>

const QString PanneauImage::PrefixeDimension = "Dimension : ";
const QString PanneauImage::PrefixeImage = "Image ";

PanneauImage::PanneauImage()
{
    QObject::connect(&chargeur_, &ChargeurAsynchrone::Charge, &chargeur_,
                     [this](quint64 numero, bool reussi, const QImage& image, int largeur, int hauteur) {
                         Appliquer(numero, reussi, image, largeur, hauteur);
                     });
}

void PanneauImage::Afficher(const FichierApercu& fichier)
{
    if (!c_.Previsu || !c_.Skin)
        return;
    AfficherNom(c_.Nom, c_.Extension, fichier, PrefixeImage);
    if (!fichier.Existe) {
        chargeur_.Annuler();
        attendu_ = 0;
        c_.Previsu->DefinirImage(c_.Skin->ImgNonTrouve);
        AppliquerRegleTaille(c_.Taille, fichier.Taille);
        c_.Dimension->DefinirTexte(PrefixeDimension);
        Chemin.clear();
        return;
    }

    c_.Taille->DefinirTexte(PrefixeTaille + fichier.Taille);
    // Nothing of the previous picture stays while the new one decodes.
    c_.Previsu->ViderImage();
    c_.Dimension->DefinirTexte(PrefixeDimension);
    attendu_ = ++numero_;
    chargeur_.Demander(attendu_, fichier.Chemin, c_.Previsu->size());
    // Kept even when the picture does not decode: the desktop may open it.
    Chemin = fichier.Chemin;
}

void PanneauImage::Appliquer(quint64 numero, bool reussi, const QImage& image, int largeur, int hauteur)
{
    if (numero != attendu_ || !c_.Previsu || !c_.Skin)
        return;
    attendu_ = 0;
    if (reussi) {
        c_.Previsu->DefinirImage(QPixmap::fromImage(image));
        c_.Dimension->DefinirTexte(PrefixeDimension + QString::number(largeur) + "x" + QString::number(hauteur));
    } else {
        c_.Previsu->DefinirImage(c_.Skin->ImgImageNonSupporte);
        c_.Dimension->DefinirTexte(PrefixeDimension);
    }
}

void PanneauImage::Effacer()
{
    chargeur_.Annuler();
    attendu_ = 0;
    if (c_.Previsu) {
        c_.Previsu->ViderImage();
        c_.Taille->DefinirTexte({});
        c_.Nom->DefinirTexte({});
        c_.Dimension->DefinirTexte({});
        c_.Extension->DefinirTexte({});
        c_.Nom->DefinirHint({}, true);
    }
    Chemin.clear();
}
