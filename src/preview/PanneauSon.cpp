#include "preview/PanneauSon.h"

#include "classification/NomFichier.h"
#include "preview/Son.h"
#include "widgets/EcranSon.h"
#include "widgets/Etiquette.h"
#include "widgets/Fabrique.h"
#include "widgets/ImageComposant.h"
#include "widgets/TFormImage.h"

#include <QSlider>
#include <QTimer>

const QString PanneauSon::PrefixeSon = "Son ";

namespace {

const QString IndiceSon = "Double Click pour agrandir - Click Droit pour changer l'animation";

} // namespace

PanneauSon::PanneauSon(QWidget* fenetre, const TFormImage& skin, Son& son) : PanneauLecteur(fenetre, skin), son_(son)
{
    ImageSonAucuneAnim =
        Fabrique::Bouton(fenetre, "ImageSonAucuneAnim", QRect(413, 105, 160, 160), "ImageSonAucuneAnim.jpg");
    ImageSonAucuneAnim->DefinirHint(IndiceSon, true);
    ImageSon = Fabrique::Bouton(fenetre, "ImageSon", QRect(413, 105, 160, 160));
    ImageSon->DefinirProportionnel(true);
    ImageSon->DefinirCentre(true);
    ImageSon->DefinirHint(IndiceSon, true);
    EcranDessin = new EcranSon(fenetre, QRect(DessinX, DessinY, EcranSon::Largeur, EcranSon::Hauteur));
    EcranDessin->setObjectName("EcranDessin");
    composants_ = {ImageSon, EcranDessin};
    CreerCommandes("Son");
    Montrer(false);

    for (ImageComposant* image : {ImageSon, ImageSonAucuneAnim}) {
        connect(image, &ImageComposant::DoubleClic, this, &Panneau::OuvertureDemandee);
        connect(image, &ImageComposant::SourisRelachee, this, [this](Qt::MouseButton bouton) {
            if (bouton == Qt::RightButton)
                ChangerAnimation();
        });
    }
    connect(Barre, &QSlider::valueChanged, this, &PanneauSon::BarreDeplacee);
    connect(&son_, &Son::Charge, this, &PanneauSon::SonCharge);

    TimerSon = new QTimer(fenetre);
    TimerSon->setObjectName("TimerSon");
    TimerSon->setInterval(10);
    connect(TimerSon, &QTimer::timeout, this, &PanneauSon::Suivre);
    TimerSon->start();
}

void PanneauSon::Afficher(const FichierApercu& fichier)
{
    AfficherEntete(fichier, PrefixeSon);
    son_.Ouvrir(fichier.Chemin, false);
    DureeCourant->DefinirTexte(TempsNul);
    // The total time shows once the sound has loaded.
    DureeTotale->DefinirTexte(TempsNul);
    DireEchec({});
    if (fichier.Existe) {
        // An empty picture lets the sound drawing show.
        ImageSon->ViderImage();
        Chemin = fichier.Chemin;
    } else {
        ImageSon->DefinirImage(skin_.ImgNonTrouve);
        Chemin.clear();
    }
    MontrerPlay();
    Nom->DefinirHint(NomFichier::Texte(fichier.Chemin), true);
}

void PanneauSon::Montrer(bool montrer)
{
    PanneauLecteur::Montrer(montrer);
    ImageSonAucuneAnim->setVisible(montrer && ImageSonAucuneAnim->Tag != 0);
    if (montrer == dessinActif_)
        return;
    dessinActif_ = montrer;
    // Repainting the sound picture wipes the drawing left in the frame.
    EcranDessin->Effacer();
    ImageSon->update();
}

void PanneauSon::DefinirDessin(Dessin dessin)
{
    son_.Animation().DefinirMode(dessin);
    const bool aucune = dessin == Dessin::Aucun;
    ImageSonAucuneAnim->Tag = aucune ? 1 : 0;
    ImageSonAucuneAnim->setVisible(aucune && Montre());
    if (aucune)
        EcranDessin->Effacer();
}

void PanneauSon::ChangerAnimation()
{
    const Dessin suivant = son_.Animation().ModeSuivant();
    DefinirDessin(suivant);
    emit DessinChange(suivant);
}

void PanneauSon::SonCharge()
{
    if (Chemin.empty())
        return; // a missing file shows the not-found picture already
    DureeTotale->DefinirTexte(son_.DureeTotale());
    DireEchec(son_.Echec());
    if (!son_.Echec().isEmpty())
        MontrerPlay();
}

void PanneauSon::Suivre()
{
    Dessiner();
    DureeCourant->DefinirTexte(son_.TempsCourant());
    SuivrePosition(son_.Pourcentage());
    // Played out: the next press plays it again from its beginning.
    if (PlayPauseBouton->Tag != 0 && son_.LectureTerminee())
        MontrerPlay();
}

void PanneauSon::Dessiner()
{
    if (!dessinActif_ || !ImageSon->ImageVide()) {
        EcranDessin->Effacer();
        return;
    }
    if (son_.Dessiner())
        EcranDessin->Montrer(&son_.Animation().Pixels());
}

void PanneauSon::BarreDeplacee()
{
    const int p = son_.Pourcentage();
    // A sound that cannot seek (MIDI, one that does not play, none yet)
    // stands at the start: the thumb dropped elsewhere goes back there.
    if (p == -1) {
        if (Barre->value() != 0)
            Barre->setValue(0);
        return;
    }
    if (p == Barre->value())
        return;
    const bool terminee = son_.LectureTerminee();
    son_.Positionner(Barre->value());
    // Dragging a finished sound plays it again: the button says so.
    if (terminee && !son_.LectureTerminee() && !Chemin.empty())
        MontrerPause();
}

void PanneauSon::Jouer()
{
    son_.Ouvrir(Chemin, true);
}

void PanneauSon::MettreEnPause()
{
    son_.Pause(true);
}

void PanneauSon::Arreter()
{
    son_.Stop();
}
