#include "preview/PanneauVideo.h"

#include "classification/NomFichier.h"
#include "media/Video.h"
#include "widgets/EcranVideo.h"
#include "widgets/Etiquette.h"
#include "widgets/Fabrique.h"
#include "widgets/ImageComposant.h"
#include "widgets/TFormImage.h"

#include <QSlider>
#include <QTimer>

const QString PanneauVideo::PrefixeVideo = "Video ";

PanneauVideo::PanneauVideo(QWidget* fenetre, const TFormImage& skin, Video& video)
    : PanneauLecteur(fenetre, skin), video_(video)
{
    ImageVideo = Fabrique::Bouton(fenetre, "ImageVideo", QRect(413, 105, 160, 160));
    ImageVideo->DefinirProportionnel(true);
    ImageVideo->DefinirCentre(true);
    ImageVideo->DefinirHint("Double Click pour agrandir ", true);
    // Made before the window first shows, so that the window is ready for
    // OpenGL; hidden until a video plays.
    FenetreVideo = new EcranVideo(fenetre);
    FenetreVideo->setObjectName("FenetreVideo");
    composants_ = {ImageVideo};
    CreerCommandes("Video");
    Montrer(false);

    connect(ImageVideo, &ImageComposant::DoubleClic, this, &Panneau::OuvertureDemandee);
    connect(Barre, &QSlider::valueChanged, this, &PanneauVideo::BarreDeplacee);
    connect(&video_, &Video::ErreurLecture, this, &PanneauVideo::MessageErreur);
    connect(&video_, &Video::LectureImpossible, this, [this](const QString& raison) {
        MontrerPlay();
        DireEchec(raison);
    });

    TimerVideo = new QTimer(fenetre);
    TimerVideo->setObjectName("TimerVideo");
    TimerVideo->setInterval(500);
    connect(TimerVideo, &QTimer::timeout, this, &PanneauVideo::SuivreTemps);
    TimerVideo->start();
    TimerPosition = new QTimer(fenetre);
    TimerPosition->setObjectName("TimerPositionVideo");
    TimerPosition->setInterval(10);
    connect(TimerPosition, &QTimer::timeout, this, &PanneauVideo::SuivrePositionVideo);
    TimerPosition->start();

    video_.Initialiser(FenetreVideo);
}

void PanneauVideo::Afficher(const FichierApercu& fichier)
{
    AfficherEntete(fichier, PrefixeVideo);
    DureeCourant->DefinirTexte(TempsNul);
    DireEchec({});
    if (fichier.Existe) {
        ImageVideo->ViderImage();
        Chemin = fichier.Chemin;
    } else {
        ImageVideo->DefinirImage(skin_.ImgNonTrouve);
        Chemin.clear();
    }
    Stop();
    DureeTotale->DefinirTexte(TempsNul);
    MontrerPlay();
    Nom->DefinirHint(NomFichier::Texte(fichier.Chemin), true);
}

void PanneauVideo::Montrer(bool montrer)
{
    PanneauLecteur::Montrer(montrer);
    video_.MontrerFenetre(montrer && video_.EnLecture());
}

void PanneauVideo::SuivreTemps()
{
    DureeCourant->DefinirTexte(video_.TempsCourant());
    DureeTotale->DefinirTexte(video_.DureeTotale());
    dureeConnue_ = DureeTotale->text() != TempsNul;
    // A video that has stopped on its own leaves the screen here.
    if (video_.Etat() != Video::Arrete)
        video_.MontrerFenetre(Montre() && video_.EnLecture());
}

void PanneauVideo::SuivrePositionVideo()
{
    if (video_.Terminee() && video_.Etat() == Video::EnCours) {
        // Played out: the next press starts it again from its beginning.
        if (Barre->value() != 0)
            Barre->setValue(0);
        if (PlayPauseBouton->Tag != 0)
            MontrerPlay();
        return;
    }
    SuivrePosition(video_.Pourcentage());
}

void PanneauVideo::BarreDeplacee()
{
    // A video that cannot seek (none that plays, no length known) stands at
    // the start: the thumb dropped elsewhere goes back there.
    if (!dureeConnue_) {
        if (Barre->value() != 0)
            Barre->setValue(0);
        return;
    }
    int p = video_.Pourcentage();
    if (p == -1)
        p = Barre->value();
    if (p != Barre->value())
        video_.Positionner(Barre->value());
}

void PanneauVideo::MessageErreur()
{
    Fabrique::Message(fenetre_->window(), Video::TexteErreur, Video::TitreErreur, QMessageBox::Critical);
}

void PanneauVideo::Jouer()
{
    DireEchec({});
    video_.Ouvrir(Chemin);
}

void PanneauVideo::MettreEnPause()
{
    video_.Pause(true);
}

void PanneauVideo::Arreter()
{
    video_.Stop();
}
