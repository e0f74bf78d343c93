#pragma once

// The menu: the painted strip of six zones on the left of the window.
// Selecting a zone paints the strip with that zone selected and shows the
// zone's room (the home panel, or a category's trees and preview panel);
// hovering highlights a zone.

#include "shared/Categorie.h"

#include <QObject>

#include <array>
#include <cstdint>

class BandeauMenu;
class GestionBouton;
class GestionTreeView;
class ImageComposant;
class Previsualisation;
class TFormImage;
class TFormPrincipal;

class GestionMenu : public QObject
{
    Q_OBJECT
public:
    enum Zone : uint8_t { Aucune = 0, Home = 1, ZVideo = 2, ZSon = 3, ZImage = 4, ZTexte = 5, Transfert = 6 };

    // Builds the strip and the six zones in the window.
    GestionMenu(TFormPrincipal& fenetre, const TFormImage& skin, GestionBouton& home, GestionTreeView& arbres,
                Previsualisation& previsualisation);

    void AfficherHome(bool selection);
    void AfficherVideo(bool selection);
    void AfficherSon(bool selection);
    void AfficherImage(bool selection);
    void AfficherTexte(bool selection);
    void Redessiner();
    void SurvolerZone(int zone);
    // The pointer left a zone: no zone looks hovered until it enters one.
    void RelacherZone();

    int ZoneCourante() const { return zoneCourante_; }
    int ZoneSurvolee() const { return zoneSurvolee_; }
    // The six zones in their order, for the keyboard and screen readers.
    const std::array<ImageComposant*, 6>& Zones() const { return zones_; }

private:
    struct DonneesZone;

    void Afficher(int zone, bool selection);
    DonneesZone Donnees(int zone) const;

    const TFormImage& skin_;
    GestionBouton& home_;
    GestionTreeView& arbres_;
    Previsualisation& previsualisation_;
    BandeauMenu* bandeau_;
    // ZoneHome, ZoneVideo, ZoneSon, ZoneImage, ZoneTexte, ZoneTransfert.
    std::array<ImageComposant*, 6> zones_{};
    uint8_t zoneCourante_ = Aucune;
    uint8_t zoneSurvolee_ = Aucune;
};
