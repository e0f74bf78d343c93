#include "preview/PanneauSon.h"

#include "classification/NomFichier.h"
#include "preview/Son.h"
#include "widgets/Etiquette.h"
#include "widgets/ImageComposant.h"
#include "widgets/TFormImage.h"

#include <QSlider>

const QString PanneauSon::PrefixeSon = "Son ";
const QString PanneauSon::TempsNul = "00:00:00";

void PanneauSon::Afficher(const FichierApercu& fichier)
{
    if (!c_.Image || !c_.Skin)
        return;
    c_.Nom->DefinirTexte(fichier.Nom);
    c_.Extension->DefinirTexte(PrefixeSon + fichier.Ext.toUpper());
    c_.Barre->setValue(0);
    AppliquerRegleTaille(c_.Taille, fichier.Taille);
    // Loaded silently: the player resets the play button through Stop.
    if (son_)
        son_->Ouvrir(fichier.Chemin, false);
    c_.DureeCourant->DefinirTexte(TempsNul);
    if (fichier.Existe) {
        // An empty picture lets the sound drawing show.
        c_.Image->ViderImage();
        c_.DureeTotale->DefinirTexte(son_ ? son_->DureeTotale() : QString());
        Chemin = fichier.Chemin;
    } else {
        c_.DureeTotale->DefinirTexte(TempsNul);
        c_.Image->DefinirImage(c_.Skin->ImgNonTrouve);
        Chemin.clear();
    }
    MontrerPlay();
    c_.Nom->DefinirHint(NomFichier::Texte(fichier.Chemin), true);
}

void PanneauSon::Effacer()
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

void PanneauSon::PlayPause()
{
    if (Chemin.empty() || !c_.PlayPause || !c_.Skin)
        return;
    const bool jouait = c_.PlayPause->Tag != 0;
    c_.PlayPause->Tag = jouait ? 0 : 1;
    if (jouait) {
        c_.PlayPause->DefinirImage(c_.Skin->ImgPlay);
        if (son_)
            son_->Pause(true);
    } else {
        c_.PlayPause->DefinirImage(c_.Skin->ImgPause);
        if (son_)
            son_->Ouvrir(Chemin, true);
    }
}

void PanneauSon::Stop()
{
    if (son_)
        son_->Stop();
    MontrerPlay();
}

void PanneauSon::MontrerPlay()
{
    if (!c_.PlayPause || !c_.Skin)
        return;
    c_.PlayPause->DefinirImage(c_.Skin->ImgPlay);
    c_.PlayPause->Tag = 0;
}
