#include "preview/PanneauTexte.h"

#include "widgets/Etiquette.h"
#include "widgets/ImageComposant.h"
#include "widgets/TFormImage.h"

const QString PanneauTexte::PrefixeTexte = "Texte ";

void PanneauTexte::Afficher(const FichierApercu& fichier)
{
    if (!c_.Previsu || !c_.Skin)
        return;
    AfficherNom(c_.Nom, c_.Extension, fichier, PrefixeTexte);
    if (fichier.Existe) {
        c_.Taille->DefinirTexte(PrefixeTaille + fichier.Taille);
        c_.Previsu->DefinirImage(c_.Skin->ImageTexte);
        Chemin = fichier.Chemin;
    } else {
        c_.Previsu->DefinirImage(c_.Skin->ImgNonTrouve);
        AppliquerRegleTaille(c_.Taille, fichier.Taille);
        Chemin.clear();
    }
}

void PanneauTexte::Effacer()
{
    if (c_.Previsu) {
        c_.Previsu->ViderImage();
        c_.Taille->DefinirTexte({});
        c_.Nom->DefinirTexte({});
        c_.Nom->DefinirHint({}, true);
        c_.Extension->DefinirTexte({});
    }
    Chemin.clear();
}
