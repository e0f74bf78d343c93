#include "preview/PanneauLecteur.h"

#include "widgets/Etiquette.h"
#include "widgets/Fabrique.h"
#include "widgets/ImageComposant.h"
#include "widgets/TFormImage.h"

#include <QSlider>

const QString PanneauLecteur::TempsNul = "00:00:00";

void PanneauLecteur::CreerCommandes(const QString& quoi)
{
    const auto nom = [&quoi](const char* avant, const char* apres = "") { return QString(avant) + quoi + apres; };
    QWidget* f = fenetre_;
    Nom = Fabrique::LabelNom(f, nom("Label", "Nom"), QPoint(415, 315));
    Extension = Fabrique::LabelPrevisu(f, nom("Label", "Extension"), QPoint(415, 331));
    Taille = Fabrique::LabelPrevisu(f, nom("Label", "Taille"), QPoint(415, 352));
    DureeCourant = Fabrique::LabelPrevisu(f, nom("Label", "DurreeCourant"), QPoint(411, 272), TempsNul);
    DureeTotale = Fabrique::Label(f, nom("Label", "DurreeTotale"), TempsNul, QPoint(488, 272), Fabrique::Verdana, 11,
                                  false, Qt::black, Fabrique::Fond, QSize(87, 14));
    DureeTotale->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Screen readers hear the times, not only the labels' names.
    DureeCourant->DecrireParTexte(true);
    DureeTotale->DecrireParTexte(true);
    PlayPauseBouton = Fabrique::Bouton(f, nom("Image", "PlayPause"), QRect(414, 293, 12, 12));
    StopBouton = Fabrique::Bouton(f, nom("Image", "Stop"), QRect(434, 293, 12, 12));
    StopBouton->DefinirImage(skin_.ImgStop);
    StopBouton->DefinirCentre(true);
    // Over the bottom of the frame, above the picture and the drawing.
    Message = CreerMessage(f, nom("Label", "Message"));
    Barre = Fabrique::TrackBar(f, nom("TrackBar"), QRect(448, 289, 131, 25));
    composants_.insert(composants_.end(),
                       {DureeCourant, DureeTotale, PlayPauseBouton, StopBouton, Barre, Nom, Extension, Taille});

    connect(PlayPauseBouton, &ImageComposant::Clic, this, &PanneauLecteur::PlayPause);
    connect(StopBouton, &ImageComposant::Clic, this, &PanneauLecteur::Stop);
}

void PanneauLecteur::AfficherEntete(const FichierApercu& fichier, const QString& prefixe)
{
    Nom->DefinirTexte(fichier.Nom);
    Extension->DefinirTexte(prefixe + fichier.Ext.toUpper());
    Barre->setValue(0);
    AppliquerRegleTaille(Taille, fichier.Taille);
}

void PanneauLecteur::Effacer()
{
    Nom->DefinirTexte({});
    Extension->DefinirTexte({});
    Barre->setValue(0);
    MontrerPlay();
    DureeTotale->DefinirTexte(TempsNul);
    Taille->DefinirTexte({});
    Nom->DefinirHint({}, true);
    DireEchec({});
    Chemin.clear();
}

void PanneauLecteur::Montrer(bool montrer)
{
    Panneau::Montrer(montrer);
    Message->setVisible(montrer && !Message->text().isEmpty());
}

void PanneauLecteur::DireEchec(const QString& raison)
{
    DireMessage(Message, raison);
}

void PanneauLecteur::PlayPause()
{
    if (Chemin.empty())
        return;
    if (PlayPauseBouton->Tag != 0) {
        MontrerPlay();
        MettreEnPause();
    } else {
        MontrerPause();
        Jouer();
    }
}

void PanneauLecteur::Stop()
{
    Arreter();
    MontrerPlay();
    // Stopped players answer -1: the bar going back seeks nothing.
    Barre->setValue(0);
}

void PanneauLecteur::MontrerPlay()
{
    PlayPauseBouton->DefinirImage(skin_.ImgPlay);
    PlayPauseBouton->Tag = 0;
}

void PanneauLecteur::MontrerPause()
{
    PlayPauseBouton->DefinirImage(skin_.ImgPause);
    PlayPauseBouton->Tag = 1;
}

void PanneauLecteur::SuivrePosition(int pourcentage)
{
    if (pourcentage != -1 && Barre->value() != pourcentage)
        Barre->setValue(pourcentage);
}
