#include "ui/GestionMenu.h"

#include "media/Video.h"
#include "preview/Son.h"
#include "trees/GestionTreeView.h"
#include "widgets/EcranSon.h"
#include "widgets/Cadre.h"
#include "widgets/Etiquette.h"
#include "widgets/ImageComposant.h"
#include "widgets/TFormImage.h"
#include "ui/TFormPrincipal.h"
#include "widgets/ZoneSaisie.h"

#include <QComboBox>
#include <QSlider>

#include <vector>

namespace {

struct DonneesZone
{
    ImageComposant* ZoneActive;
    const QPixmap* Bandeau;
    const QPixmap* Surbrillance;
    int Y;
    std::vector<QWidget*> Panneau;
};

DonneesZone Donnees(int zone)
{
    TFormPrincipal* f = FormPrincipal;
    TFormImage* i = FormImage;
    switch (zone) {
    case GestionMenu::Home:
        return {f->ZoneHome, &i->ImgMenuHome, &i->ImgHomeSelection, 6,
                {f->ImgHomeParcourir, f->ImgHomeParcourirBas, f->ImgHomeScan, f->LabelHomeOption,
                 f->LabelHomeParcourir, f->LabelHomeScan, f->EditHomeRepertoireScan, f->ImgHomeFichierFond,
                 f->LabelHomeFichierNbVideo, f->LabelHomeFichierNbSon, f->LabelHomeFichierNbImage,
                 f->LabelHomeFichierNbTexte, f->LabelHomeFichierNbTotal}};
    case GestionMenu::ZVideo:
        return {f->ZoneVideo, &i->ImgMenuVideo, &i->ImgVideoSelection, 76,
                {f->LabelVideoDurreeCourant, f->LabelVideoDurreeTotale, f->ImageVideoPlayPause, f->ImageVideoStop,
                 f->TrackBarVideo, f->LabelVideoNom, f->LabelVideoExtension, f->LabelVideoTaille, f->ImageVideo}};
    case GestionMenu::ZSon:
        return {f->ZoneSon, &i->ImgMenuSon, &i->ImgSonSelection, 146,
                {f->LabelSonDurreeCourant, f->LabelSonDurreeTotale, f->ImageSonPlayPause, f->ImageSonStop,
                 f->TrackBarSon, f->LabelSonNom, f->LabelSonExtension, f->LabelSonTaille, f->ImageSon, f->EcranDessin}};
    case GestionMenu::ZImage:
        return {f->ZoneImage, &i->ImgMenuImage, &i->ImgImageSelection, 216,
                {f->ImgImagePrevisu, f->LabelImageTaille, f->LabelImageDimension, f->LabelImageNom,
                 f->LabelImageExtension}};
    case GestionMenu::ZTexte:
        return {f->ZoneTexte, &i->ImgMenuTexte, &i->ImgTexteSelection, 286,
                {f->ImgTextePrevisu, f->LabelTexteTaille, f->LabelTexteNom, f->LabelTexteExtension}};
    default:
        return {f->ZoneTransfert, &i->ImgMenuTransfert, &i->ImgTransfertSelection, 356, {}};
    }
}

}  // namespace

Categorie GestionMenu::CategorieCourante() const
{
    if (zoneCourante_ < ZVideo || zoneCourante_ > ZTexte)
        return Categorie::Autre;
    return static_cast<Categorie>(zoneCourante_ - 1);
}

void GestionMenu::AfficherHome(bool selection) { Afficher(Home, selection); }
void GestionMenu::AfficherVideo(bool selection) { Afficher(ZVideo, selection); }
void GestionMenu::AfficherSon(bool selection) { Afficher(ZSon, selection); }
void GestionMenu::AfficherImage(bool selection) { Afficher(ZImage, selection); }
void GestionMenu::AfficherTexte(bool selection) { Afficher(ZTexte, selection); }
void GestionMenu::AfficherTransfert(bool selection) { Afficher(Transfert, selection); }

void GestionMenu::Afficher(int zone, bool selection)
{
    const DonneesZone donnees = Donnees(zone);
    TFormPrincipal* f = FormPrincipal;

    if (selection) {
        // Painting the strip covers any highlight: the selected zone shows
        // the strip alone.
        f->DefinirBandeau(*donnees.Bandeau);
        f->DefinirSurbrillance(QPixmap(), 0);
        zoneCourante_ = static_cast<uint8_t>(zone);
    }
    donnees.ZoneActive->setCursor(selection ? Qt::ArrowCursor : Qt::PointingHandCursor);
    for (QWidget* composant : donnees.Panneau)
        composant->setVisible(selection);

    switch (zone) {
    case ZVideo:
        arbres_->AfficherArbresVideo(0, selection);
        if (video_)
            video_->MontrerFenetre(selection && video_->EnLecture());
        break;
    case ZSon:
        arbres_->AfficherArbresSon(0, selection);
        if (son_)
            son_->ActiverDessin(selection);
        break;
    case ZImage:
        arbres_->AfficherArbresImage(0, selection);
        break;
    case ZTexte:
        arbres_->AfficherArbresTexte(0, selection);
        break;
    default:
        break;
    }

    if (!selection) {
        if (zone == ZSon)
            f->ImageSonAucuneAnim->hide();
        return;
    }

    for (int autre = Home; autre <= Transfert; ++autre)
        if (autre != zone)
            Afficher(autre, false);

    const bool categorie = zone >= ZVideo && zone <= ZTexte;
    f->Bevel->setVisible(categorie);
    f->ComboBoxChoixTrie->setVisible(categorie);
    f->BevelPrevisu->setVisible(categorie);
    if (!categorie)
        f->LabelEnCourAffichage->hide();
    if (zone == ZSon && f->ImageSonAucuneAnim->Tag != 0)
        f->ImageSonAucuneAnim->show();
}

void GestionMenu::Redessiner()
{
    FormPrincipal->DefinirSurbrillance(QPixmap(), 0);
    const int zone = zoneCourante_;
    if (zone >= Home && zone <= Transfert)
        Afficher(zone, true);
}

void GestionMenu::RafraichirVideo()
{
    if (video_ && video_->Etat() != Video::Arrete)
        video_->MontrerFenetre(zoneCourante_ == ZVideo && video_->EnLecture());
}

void GestionMenu::SurvolerZone(int zone)
{
    if (zoneSurvolee_ != zone)
        Redessiner();
    if (zoneCourante_ != zone) {
        const DonneesZone donnees = Donnees(zone);
        FormPrincipal->DefinirSurbrillance(*donnees.Surbrillance, donnees.Y);
    }
    zoneSurvolee_ = static_cast<uint8_t>(zone);
}
