#include "preview/PanneauImage.h"

#include "classification/NomFichier.h"
#include "media/ChargeurImage.h"
#include "widgets/Etiquette.h"
#include "widgets/ImageComposant.h"
#include "widgets/TFormImage.h"

#include <QPixmap>

const QString PanneauImage::PrefixeDimension = "Dimension : ";
const QString PanneauImage::PrefixeImage = "Image ";

void PanneauImage::Afficher(const FichierApercu& fichier)
{
    if (!c_.Previsu || !c_.Skin)
        return;
    c_.Nom->DefinirTexte(fichier.Nom);
    c_.Nom->DefinirHint(NomFichier::Texte(fichier.Chemin), true);
    c_.Extension->DefinirTexte(PrefixeImage + fichier.Ext.toUpper());
    if (!fichier.Existe) {
        c_.Previsu->DefinirImage(c_.Skin->ImgNonTrouve);
        AppliquerRegleTaille(c_.Taille, fichier.Taille);
        c_.Dimension->DefinirTexte(PrefixeDimension);
        Chemin.clear();
        return;
    }

    c_.Taille->DefinirTexte(PrefixeTaille + fichier.Taille);
    ChargeurImage::Resultat image;
    if (ChargeurImage::Charger(fichier.Chemin, image, c_.Previsu->size())) {
        c_.Previsu->DefinirImage(QPixmap::fromImage(image.Image));
        c_.Dimension->DefinirTexte(PrefixeDimension + QString::number(image.LargeurOrigine) + "x"
                                   + QString::number(image.HauteurOrigine));
    } else {
        c_.Previsu->DefinirImage(c_.Skin->ImgImageNonSupporte);
        c_.Dimension->DefinirTexte(PrefixeDimension);
    }
    // Kept even when the picture does not decode: the desktop may open it.
    Chemin = fichier.Chemin;
}

void PanneauImage::Effacer()
{
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
