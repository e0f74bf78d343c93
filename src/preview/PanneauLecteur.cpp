#include "preview/PanneauLecteur.h"

#include "widgets/Etiquette.h"
#include "widgets/ImageComposant.h"
#include "widgets/TFormImage.h"

#include <QSlider>

const QString PanneauLecteur::TempsNul = "00:00:00";

void PanneauLecteur::AfficherEntete(const FichierApercu& fichier, const QString& prefixe)
{
    c_.Nom->DefinirTexte(fichier.Nom);
    c_.Extension->DefinirTexte(prefixe + fichier.Ext.toUpper());
    c_.Barre->setValue(0);
    AppliquerRegleTaille(c_.Taille, fichier.Taille);
}

void PanneauLecteur::Effacer()
{
    if (c_.Image) {
        c_.Nom->DefinirTexte({});
        c_.Extension->DefinirTexte({});
        c_.Barre->setValue(0);
        MontrerPlay();
        c_.DureeTotale->DefinirTexte(TempsNul);
        c_.Taille->DefinirTexte({});
        c_.Nom->DefinirHint({}, true);
    }
    Chemin.clear();
}

void PanneauLecteur::PlayPause()
{
    if (Chemin.empty() || !c_.PlayPause || !c_.Skin)
        return;
    const bool jouait = c_.PlayPause->Tag != 0;
    c_.PlayPause->Tag = jouait ? 0 : 1;
    if (jouait) {
        c_.PlayPause->DefinirImage(c_.Skin->ImgPlay);
        MettreEnPause();
    } else {
        c_.PlayPause->DefinirImage(c_.Skin->ImgPause);
        Jouer();
    }
}

void PanneauLecteur::Stop()
{
    Arreter();
    MontrerPlay();
}

void PanneauLecteur::MontrerPlay()
{
    if (!c_.PlayPause || !c_.Skin)
        return;
    c_.PlayPause->DefinirImage(c_.Skin->ImgPlay);
    c_.PlayPause->Tag = 0;
}
