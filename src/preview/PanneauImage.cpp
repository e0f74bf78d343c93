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
    // Over the bottom of the frame, above the picture.
    LabelImageMessage = CreerMessage(fenetre, "LabelImageMessage");
    composants_ = {ImgImagePrevisu, LabelImageTaille, LabelImageDimension, LabelImageNom, LabelImageExtension};
    Montrer(false);

    connect(ImgImagePrevisu, &ImageComposant::DoubleClic, this, &Panneau::OuvertureDemandee);
    QObject::connect(&chargeur_, &ChargeurAsynchrone::Charge, &chargeur_,
                     [this](quint64 numero, bool reussi, const QImage& image, int largeur, int hauteur,
                            const QString& echec) { Appliquer(numero, reussi, image, largeur, hauteur, echec); });
}

void PanneauImage::Afficher(const FichierApercu& fichier)
{
    AfficherNom(LabelImageNom, LabelImageExtension, fichier, PrefixeImage);
    DireMessage(LabelImageMessage, {});
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

void PanneauImage::Appliquer(quint64 numero, bool reussi, const QImage& image, int largeur, int hauteur,
                             const QString& echec)
{
    if (numero != attendu_)
        return;
    attendu_ = 0;
    if (reussi) {
        ImgImagePrevisu->DefinirImage(QPixmap::fromImage(image));
        LabelImageDimension->DefinirTexte(PrefixeDimension + QString::number(largeur) + "x" + QString::number(hauteur));
    } else if (!echec.isEmpty()) {
        // Not read (no permission, gone): not a matter of format.
        ImgImagePrevisu->ViderImage();
        LabelImageDimension->DefinirTexte(PrefixeDimension);
        DireMessage(LabelImageMessage, echec);
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
    DireMessage(LabelImageMessage, {});
    Chemin.clear();
}

void PanneauImage::Montrer(bool montrer)
{
    Panneau::Montrer(montrer);
    LabelImageMessage->setVisible(montrer && !LabelImageMessage->text().isEmpty());
}
