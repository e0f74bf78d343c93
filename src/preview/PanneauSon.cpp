#include "preview/PanneauSon.h"

#include "classification/NomFichier.h"
#include "preview/Son.h"
#include "widgets/Etiquette.h"
#include "widgets/ImageComposant.h"
#include "widgets/TFormImage.h"

const QString PanneauSon::PrefixeSon = "Son ";

void PanneauSon::Afficher(const FichierApercu& fichier)
{
    if (!c_.Image || !c_.Skin)
        return;
    AfficherEntete(fichier, PrefixeSon);
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

void PanneauSon::Jouer()
{
    if (son_)
        son_->Ouvrir(Chemin, true);
}

void PanneauSon::MettreEnPause()
{
    if (son_)
        son_->Pause(true);
}

void PanneauSon::Arreter()
{
    if (son_)
        son_->Stop();
}
