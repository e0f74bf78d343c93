#pragma once

// The main window as the tests see it: the components its rooms built,
// found by their names (as a screen reader or a test tool finds them), and
// what the application holds beside them.

#include "app/Application.h"
#include "trees/ArbreCategorie.h"
#include "ui/TFormPropos.h"
#include "widgets/Cadre.h"
#include "widgets/EcranSon.h"
#include "widgets/EcranVideo.h"
#include "widgets/Etiquette.h"
#include "widgets/ImageComposant.h"
#include "widgets/ZoneSaisie.h"

#include <QComboBox>
#include <QSlider>
#include <QTimer>

#include <array>
#include <stdexcept>
#include <string>

// The middle of a component: where a click or a hover lands on it.
inline QPoint Milieu(const QWidget* composant)
{
    return composant->rect().center();
}

class Composants
{
public:
    explicit Composants(Application& application) : application_(application) {}

    // A point of the background picture, in its coordinates, that no other
    // component covers: the pointer there leaves every button and zone.
    QPoint PointNu() const
    {
        const QWidget& fenetre = application_.Fenetre();
        for (int y = ImgFond->height() - 1; y >= 0; y -= 7)
            for (int x = ImgFond->width() - 1; x >= 0; x -= 7)
                if (fenetre.childAt(ImgFond->mapTo(&fenetre, QPoint(x, y))) == ImgFond)
                    return QPoint(x, y);
        throw std::logic_error("no bare point on the background");
    }

    // The tree of a key, and the twelve trees in their keys' order.
    ArbreCategorie* Arbre(CleArbre cle) const { return application_.Arbres.Arbre(cle); }
    std::array<ArbreCategorie*, NombreArbres> Arbres() const
    {
        std::array<ArbreCategorie*, NombreArbres> arbres{};
        for (CleArbre cle : ToutesLesCles)
            arbres[cle.Rang()] = Arbre(cle);
        return arbres;
    }

private:
    template <typename T>
    T* Trouver(const char* nom) const
    {
        T* composant = application_.Fenetre().template findChild<T*>(nom);
        if (!composant)
            throw std::logic_error(std::string("no component named ") + nom);
        return composant;
    }

    Application& application_;

public:
    ImageComposant* ImgFond = Trouver<ImageComposant>("ImgFond");
    ImageComposant* ImgClose = Trouver<ImageComposant>("ImgClose");
    ImageComposant* ImgReduire = Trouver<ImageComposant>("ImgReduire");
    ImageComposant* ImgTitre = Trouver<ImageComposant>("ImgTitre");
    ImageComposant* ImagePropos = Trouver<ImageComposant>("ImagePropos");
    ImageComposant* ZoneHome = Trouver<ImageComposant>("ZoneHome");
    ImageComposant* ZoneVideo = Trouver<ImageComposant>("ZoneVideo");
    ImageComposant* ZoneSon = Trouver<ImageComposant>("ZoneSon");
    ImageComposant* ZoneImage = Trouver<ImageComposant>("ZoneImage");
    ImageComposant* ZoneTexte = Trouver<ImageComposant>("ZoneTexte");
    ImageComposant* ZoneTransfert = Trouver<ImageComposant>("ZoneTransfert");
    ImageComposant* ImgProgressBarFond = Trouver<ImageComposant>("ImgProgressBarFond");
    ImageComposant* ImgProgressBar = Trouver<ImageComposant>("ImgProgressBar");
    ImageComposant* ImgProgressBarDevant = Trouver<ImageComposant>("ImgProgressBarDevant");
    ImageComposant* ImgHomeParcourir = Trouver<ImageComposant>("ImgHomeParcourir");
    ImageComposant* ImgHomeParcourirBas = Trouver<ImageComposant>("ImgHomeParcourirBas");
    ImageComposant* ImgHomeScan = Trouver<ImageComposant>("ImgHomeScan");
    ImageComposant* ImgHomeFichierFond = Trouver<ImageComposant>("ImgHomeFichierFond");
    ImageComposant* ImageVideo = Trouver<ImageComposant>("ImageVideo");
    ImageComposant* ImageVideoPlayPause = Trouver<ImageComposant>("ImageVideoPlayPause");
    ImageComposant* ImageVideoStop = Trouver<ImageComposant>("ImageVideoStop");
    ImageComposant* ImageSon = Trouver<ImageComposant>("ImageSon");
    ImageComposant* ImageSonAucuneAnim = Trouver<ImageComposant>("ImageSonAucuneAnim");
    ImageComposant* ImageSonPlayPause = Trouver<ImageComposant>("ImageSonPlayPause");
    ImageComposant* ImageSonStop = Trouver<ImageComposant>("ImageSonStop");
    ImageComposant* ImgImagePrevisu = Trouver<ImageComposant>("ImgImagePrevisu");
    ImageComposant* ImgTextePrevisu = Trouver<ImageComposant>("ImgTextePrevisu");
    Etiquette* LabelPause = Trouver<Etiquette>("LabelPause");
    Etiquette* LabelArret = Trouver<Etiquette>("LabelArret");
    Etiquette* LabelHomeParcourir = Trouver<Etiquette>("LabelHomeParcourir");
    Etiquette* LabelHomeOption = Trouver<Etiquette>("LabelHomeOption");
    Etiquette* LabelHomeScan = Trouver<Etiquette>("LabelHomeScan");
    Etiquette* LabelHomeFichierNbVideo = Trouver<Etiquette>("LabelHomeFichierNbVideo");
    Etiquette* LabelHomeFichierNbSon = Trouver<Etiquette>("LabelHomeFichierNbSon");
    Etiquette* LabelHomeFichierNbImage = Trouver<Etiquette>("LabelHomeFichierNbImage");
    Etiquette* LabelHomeFichierNbTexte = Trouver<Etiquette>("LabelHomeFichierNbTexte");
    Etiquette* LabelHomeFichierNbTotal = Trouver<Etiquette>("LabelHomeFichierNbTotal");
    Etiquette* LabelEnCourAffichage = Trouver<Etiquette>("LabelEnCourAffichage");
    Etiquette* LabelVideoNom = Trouver<Etiquette>("LabelVideoNom");
    Etiquette* LabelVideoExtension = Trouver<Etiquette>("LabelVideoExtension");
    Etiquette* LabelVideoTaille = Trouver<Etiquette>("LabelVideoTaille");
    Etiquette* LabelVideoDurreeCourant = Trouver<Etiquette>("LabelVideoDurreeCourant");
    Etiquette* LabelVideoDurreeTotale = Trouver<Etiquette>("LabelVideoDurreeTotale");
    Etiquette* LabelSonNom = Trouver<Etiquette>("LabelSonNom");
    Etiquette* LabelSonExtension = Trouver<Etiquette>("LabelSonExtension");
    Etiquette* LabelSonTaille = Trouver<Etiquette>("LabelSonTaille");
    Etiquette* LabelSonDurreeCourant = Trouver<Etiquette>("LabelSonDurreeCourant");
    Etiquette* LabelSonDurreeTotale = Trouver<Etiquette>("LabelSonDurreeTotale");
    Etiquette* LabelImageNom = Trouver<Etiquette>("LabelImageNom");
    Etiquette* LabelImageExtension = Trouver<Etiquette>("LabelImageExtension");
    Etiquette* LabelImageDimension = Trouver<Etiquette>("LabelImageDimension");
    Etiquette* LabelImageTaille = Trouver<Etiquette>("LabelImageTaille");
    Etiquette* LabelImageMessage = Trouver<Etiquette>("LabelImageMessage");
    Etiquette* LabelTexteNom = Trouver<Etiquette>("LabelTexteNom");
    Etiquette* LabelTexteExtension = Trouver<Etiquette>("LabelTexteExtension");
    Etiquette* LabelTexteTaille = Trouver<Etiquette>("LabelTexteTaille");
    ZoneSaisie* EditHomeRepertoireScan = Trouver<ZoneSaisie>("EditHomeRepertoireScan");
    ArbreCategorie* TreeViewVideoExt = Trouver<ArbreCategorie>("TreeViewVideoExt");
    ArbreCategorie* TreeViewVideoAlpha = Trouver<ArbreCategorie>("TreeViewVideoAlpha");
    ArbreCategorie* TreeViewVideoRep = Trouver<ArbreCategorie>("TreeViewVideoRep");
    ArbreCategorie* TreeViewSonExt = Trouver<ArbreCategorie>("TreeViewSonExt");
    ArbreCategorie* TreeViewSonAlpha = Trouver<ArbreCategorie>("TreeViewSonAlpha");
    ArbreCategorie* TreeViewSonRep = Trouver<ArbreCategorie>("TreeViewSonRep");
    ArbreCategorie* TreeViewImageExt = Trouver<ArbreCategorie>("TreeViewImageExt");
    ArbreCategorie* TreeViewImageAlpha = Trouver<ArbreCategorie>("TreeViewImageAlpha");
    ArbreCategorie* TreeViewImageRep = Trouver<ArbreCategorie>("TreeViewImageRep");
    ArbreCategorie* TreeViewTexteExt = Trouver<ArbreCategorie>("TreeViewTexteExt");
    ArbreCategorie* TreeViewTexteAlpha = Trouver<ArbreCategorie>("TreeViewTexteAlpha");
    ArbreCategorie* TreeViewTexteRep = Trouver<ArbreCategorie>("TreeViewTexteRep");
    Cadre* Bevel = Trouver<Cadre>("Bevel");
    Cadre* BevelPrevisu = Trouver<Cadre>("BevelPrevisu");
    QComboBox* ComboBoxChoixTrie = Trouver<QComboBox>("ComboBoxChoixTrie");
    EcranVideo* FenetreVideo = Trouver<EcranVideo>("FenetreVideo");
    EcranSon* EcranDessin = Trouver<EcranSon>("EcranDessin");
    QSlider* TrackBarVideo = Trouver<QSlider>("TrackBarVideo");
    QSlider* TrackBarSon = Trouver<QSlider>("TrackBarSon");
    QTimer* TimerProgressBar = Trouver<QTimer>("TimerProgressBar");
    QTimer* TimerFichier = Trouver<QTimer>("TimerFichier");
    QTimer* TimerSon = Trouver<QTimer>("TimerSon");
    QTimer* TimerVideo = Trouver<QTimer>("TimerVideo");
    TFormPropos* FormPropos = Trouver<TFormPropos>("FormPropos");
    ListeImages* ImageListExt = &application_.Arbres.ImageListExt();
    const TFormImage* Skin = &application_.Skin;
};
