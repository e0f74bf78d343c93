#include "preview/PanneauImage.h"

#include "widgets/Etiquette.h"
#include "widgets/Fabrique.h"
#include "widgets/ImageComposant.h"
#include "widgets/TFormImage.h"

#include <QPixmap>

const QString PanneauImage::PrefixeDimension = "Dimension : ";
const QString PanneauImage::PrefixeImage = "Image ";

PanneauImage::PanneauImage(QWidget* fenetre, const TFormImage& skin) : Panneau(fenetre, skin)
{
    LabelImageNom = Fabrique::LabelNom(fenetre, "LabelImageNom", QPoint(415, 280));
    LabelImageExtension = Fabrique::LabelPrevisu(fenetre, "LabelImageExtension", QPoint(415, 296));
    LabelImageDimension = Fabrique::LabelPrevisu(fenetre, "LabelImageDimension", QPoint(415, 320));
    LabelImageTaille = Fabrique::LabelPrevisu(fenetre, "LabelImageTaille", QPoint(415, 336));
    ImgImagePrevisu = Fabrique::Bouton(fenetre, "ImgImagePrevisu", QRect(413, 105, 160, 160));
    ImgImagePrevisu->DefinirProportionnel(true);
    ImgImagePrevisu->DefinirCentre(true);
    ImgImagePrevisu->DefinirHint("Double Click pour agrandir", true);
    composants_ = {ImgImagePrevisu, LabelImageTaille, LabelImageDimension, LabelImageNom, LabelImageExtension};
    Montrer(false);

    connect(ImgImagePrevisu, &ImageComposant::DoubleClic, this, &Panneau::OuvertureDemandee);
    QObject::connect(&chargeur_, &ChargeurAsynchrone::Charge, &chargeur_,
                     [this](quint64 numero, bool reussi, const QImage& image, int largeur, int hauteur) {
                         Appliquer(numero, reussi, image, largeur, hauteur);
                     });
}

void PanneauImage::Afficher(const FichierApercu& fichier)
{
    AfficherNom(LabelImageNom, LabelImageExtension, fichier, PrefixeImage);
    if (!fichier.Existe) {
        chargeur_.Annuler();
        attendu_ = 0;
        ImgImagePrevisu->DefinirImage(skin_.ImgNonTrouve);
        AppliquerRegleTaille(LabelImageTaille, fichier.Taille);
        LabelImageDimension->DefinirTexte(PrefixeDimension);
        Chemin.clear();
        return;
    }

    LabelImageTaille->DefinirTexte(PrefixeTaille + fichier.Taille);
    // Nothing of the previous picture stays while the new one decodes.
    ImgImagePrevisu->ViderImage();
    LabelImageDimension->DefinirTexte(PrefixeDimension);
    attendu_ = ++numero_;
    chargeur_.Demander(attendu_, fichier.Chemin, ImgImagePrevisu->size());
    // Kept even when the picture does not decode: the desktop may open it.
    Chemin = fichier.Chemin;
}

void PanneauImage::Appliquer(quint64 numero, bool reussi, const QImage& image, int largeur, int hauteur)
{
    if (numero != attendu_)
        return;
    attendu_ = 0;
    if (reussi) {
        ImgImagePrevisu->DefinirImage(QPixmap::fromImage(image));
        LabelImageDimension->DefinirTexte(PrefixeDimension + QString::number(largeur) + "x" + QString::number(hauteur));
    } else {
        ImgImagePrevisu->DefinirImage(skin_.ImgImageNonSupporte);
        LabelImageDimension->DefinirTexte(PrefixeDimension);
    }
}

void PanneauImage::Effacer()
{
    chargeur_.Annuler();
    attendu_ = 0;
    ImgImagePrevisu->ViderImage();
    LabelImageTaille->DefinirTexte({});
    LabelImageNom->DefinirTexte({});
    LabelImageDimension->DefinirTexte({});
    LabelImageExtension->DefinirTexte({});
    LabelImageNom->DefinirHint({}, true);
    Chemin.clear();
}
