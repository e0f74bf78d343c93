#include "preview/PanneauTexte.h"

#include "widgets/Etiquette.h"
#include "widgets/Fabrique.h"
#include "widgets/ImageComposant.h"
#include "widgets/TFormImage.h"

const QString PanneauTexte::PrefixeTexte = "Texte ";

PanneauTexte::PanneauTexte(QWidget* fenetre, const TFormImage& skin) : Panneau(fenetre, skin)
{
    ImgTextePrevisu = Fabrique::Bouton(fenetre, "ImgTextePrevisu", QRect(413, 105, 160, 160));
    ImgTextePrevisu->DefinirCentre(true);
    ImgTextePrevisu->DefinirHint("Double Click pour agrandir", true);
    LabelTexteNom = Fabrique::LabelNom(fenetre, "LabelTexteNom", QPoint(415, 280));
    LabelTexteExtension = Fabrique::LabelPrevisu(fenetre, "LabelTexteExtension", QPoint(415, 296));
    LabelTexteTaille = Fabrique::LabelPrevisu(fenetre, "LabelTexteTaille", QPoint(415, 336));
    composants_ = {ImgTextePrevisu, LabelTexteTaille, LabelTexteNom, LabelTexteExtension};
    Montrer(false);

    // A click on the document picture opens the document (its double click
    // adds nothing to that).
    connect(ImgTextePrevisu, &ImageComposant::Clic, this, &Panneau::OuvertureDemandee);
}

void PanneauTexte::Afficher(const FichierApercu& fichier)
{
    AfficherNom(LabelTexteNom, LabelTexteExtension, fichier, PrefixeTexte);
    if (fichier.Existe) {
        LabelTexteTaille->DefinirTexte(PrefixeTaille + fichier.Taille);
        ImgTextePrevisu->DefinirImage(skin_.ImageTexte);
        Chemin = fichier.Chemin;
    } else {
        ImgTextePrevisu->DefinirImage(skin_.ImgNonTrouve);
        AppliquerRegleTaille(LabelTexteTaille, fichier.Taille);
        Chemin.clear();
    }
}

void PanneauTexte::Effacer()
{
    ImgTextePrevisu->ViderImage();
    LabelTexteTaille->DefinirTexte({});
    LabelTexteNom->DefinirTexte({});
    LabelTexteNom->DefinirHint({}, true);
    LabelTexteExtension->DefinirTexte({});
    Chemin.clear();
}
