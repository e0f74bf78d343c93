#include "preview/PanneauVideo.h"

#include "classification/NomFichier.h"
#include "media/Video.h"
#include "widgets/Etiquette.h"
#include "widgets/ImageComposant.h"
#include "widgets/TFormImage.h"

const QString PanneauVideo::PrefixeVideo = "Video ";

void PanneauVideo::Afficher(const FichierApercu& fichier)
{
    if (!c_.Image || !c_.Skin)
        return;
    AfficherEntete(fichier, PrefixeVideo);
    c_.DureeCourant->DefinirTexte(TempsNul);
    if (fichier.Existe) {
        c_.Image->ViderImage();
        Chemin = fichier.Chemin;
    } else {
        c_.Image->DefinirImage(c_.Skin->ImgNonTrouve);
        Chemin.clear();
    }
    Stop();
    c_.DureeTotale->DefinirTexte(TempsNul);
    MontrerPlay();
    c_.Nom->DefinirHint(NomFichier::Texte(fichier.Chemin), true);
}

void PanneauVideo::Jouer()
{
    if (video_)
        video_->Ouvrir(Chemin);
}

void PanneauVideo::MettreEnPause()
{
    if (video_)
        video_->Pause(true);
}

void PanneauVideo::Arreter()
{
    if (video_)
        video_->Stop();
}
