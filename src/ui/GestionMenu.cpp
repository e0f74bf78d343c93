#include "ui/GestionMenu.h"

#include "preview/Previsualisation.h"
#include "trees/GestionTreeView.h"
#include "ui/GestionBouton.h"
#include "ui/TFormPrincipal.h"
#include "widgets/BandeauMenu.h"
#include "widgets/Fabrique.h"
#include "widgets/ImageComposant.h"
#include "widgets/TFormImage.h"

struct GestionMenu::DonneesZone
{
    const QPixmap* Bandeau;
    const QPixmap* Surbrillance;
    int Y;
};

GestionMenu::GestionMenu(TFormPrincipal& fenetre, const TFormImage& skin, GestionBouton& home, GestionTreeView& arbres,
                         Previsualisation& previsualisation)
    : skin_(skin), home_(home), arbres_(arbres), previsualisation_(previsualisation)
{
    bandeau_ = new BandeauMenu(&fenetre);
    bandeau_->lower();
    const char* const noms[] = {"ZoneHome", "ZoneVideo", "ZoneSon", "ZoneImage", "ZoneTexte", "ZoneTransfert"};
    for (int i = 0; i < 6; ++i) {
        zones_[size_t(i)] = Fabrique::Bouton(&fenetre, noms[i], QRect(6, Donnees(i + 1).Y, 100, 70));
        const int zone = i + 1;
        connect(zones_[size_t(i)], &ImageComposant::Clic, this, [this, zone] { Afficher(zone, true); });
        connect(zones_[size_t(i)], &ImageComposant::SourisBouge, this, [this, zone] { SurvolerZone(zone); });
        // A quick pointer may go from a zone straight onto the trees, with
        // no move over the background in between.
        connect(zones_[size_t(i)], &ImageComposant::SourisSortie, this, &GestionMenu::RelacherZone);
    }
    connect(&fenetre, &TFormPrincipal::PremiereApparition, this, [this] { AfficherHome(true); });
    connect(&fenetre, &TFormPrincipal::FondSurvole, this, &GestionMenu::Redessiner);
}

GestionMenu::DonneesZone GestionMenu::Donnees(int zone) const
{
    switch (zone) {
    case Home:
        return {&skin_.ImgMenuHome, &skin_.ImgHomeSelection, 6};
    case ZVideo:
        return {&skin_.ImgMenuVideo, &skin_.ImgVideoSelection, 76};
    case ZSon:
        return {&skin_.ImgMenuSon, &skin_.ImgSonSelection, 146};
    case ZImage:
        return {&skin_.ImgMenuImage, &skin_.ImgImageSelection, 216};
    case ZTexte:
        return {&skin_.ImgMenuTexte, &skin_.ImgTexteSelection, 286};
    default:
        return {&skin_.ImgMenuTransfert, &skin_.ImgTransfertSelection, 356};
    }
}

void GestionMenu::AfficherHome(bool selection)
{
    Afficher(Home, selection);
}
void GestionMenu::AfficherVideo(bool selection)
{
    Afficher(ZVideo, selection);
}
void GestionMenu::AfficherSon(bool selection)
{
    Afficher(ZSon, selection);
}
void GestionMenu::AfficherImage(bool selection)
{
    Afficher(ZImage, selection);
}
void GestionMenu::AfficherTexte(bool selection)
{
    Afficher(ZTexte, selection);
}

void GestionMenu::Afficher(int zone, bool selection)
{
    if (selection) {
        // Painting the strip covers any highlight: the selected zone shows
        // the strip alone.
        bandeau_->DefinirBandeau(*Donnees(zone).Bandeau);
        bandeau_->DefinirSurbrillance(QPixmap(), 0);
        zoneCourante_ = static_cast<uint8_t>(zone);
    }
    zones_[size_t(zone - 1)]->setCursor(selection ? Qt::ArrowCursor : Qt::PointingHandCursor);

    if (zone == Home) {
        home_.Montrer(selection);
    } else if (zone >= ZVideo && zone <= ZTexte) {
        const auto categorie = static_cast<Categorie>(zone - 1);
        previsualisation_.PanneauDe(categorie)->Montrer(selection);
        arbres_.AfficherArbres(categorie, 0, selection);
    }
    if (!selection)
        return;

    for (int autre = Home; autre <= Transfert; ++autre)
        if (autre != zone)
            Afficher(autre, false);
    const bool categorie = zone >= ZVideo && zone <= ZTexte;
    arbres_.MontrerCadre(categorie);
    previsualisation_.MontrerCadre(categorie);
}

void GestionMenu::Redessiner()
{
    bandeau_->DefinirSurbrillance(QPixmap(), 0);
    const int zone = zoneCourante_;
    if (zone >= Home && zone <= Transfert)
        Afficher(zone, true);
}

void GestionMenu::SurvolerZone(int zone)
{
    if (zoneSurvolee_ != zone)
        Redessiner();
    if (zoneCourante_ != zone) {
        const DonneesZone donnees = Donnees(zone);
        bandeau_->DefinirSurbrillance(*donnees.Surbrillance, donnees.Y);
    }
    zoneSurvolee_ = static_cast<uint8_t>(zone);
}

void GestionMenu::RelacherZone()
{
    bandeau_->DefinirSurbrillance(QPixmap(), 0);
}
