#pragma once

// The painted menu strip of six zones: selecting a zone paints the strip with
// that zone selected and shows its panel; hovering highlights a zone.

#include "shared/Categorie.h"

#include <QPixmap>

#include <cstdint>

class GestionTreeView;
class ImageComposant;
class Son;
class Video;

class GestionMenu
{
public:
    enum Zone : uint8_t { Aucune = 0, Home = 1, ZVideo = 2, ZSon = 3, ZImage = 4, ZTexte = 5, Transfert = 6 };

    void Lier(GestionTreeView* arbres) { arbres_ = arbres; }
    void Lier(Son* son) { son_ = son; }
    void Lier(Video* video) { video_ = video; }

    void AfficherHome(bool selection);
    void AfficherVideo(bool selection);
    void AfficherSon(bool selection);
    void AfficherImage(bool selection);
    void AfficherTexte(bool selection);
    void AfficherTransfert(bool selection);
    void Redessiner();
    // Shows the video's screen only while the Video zone is shown and the
    // video plays (or is paused); hides it once the video has stopped.
    void RafraichirVideo();
    void SurvolerZone(int zone);

    int ZoneCourante() const { return zoneCourante_; }
    // The category of the zone shown (zone code - 1), or Autre outside the four category zones.
    Categorie CategorieCourante() const;
    int ZoneSurvolee() const { return zoneSurvolee_; }

private:
    void Afficher(int zone, bool selection);

    uint8_t zoneCourante_ = Aucune;
    uint8_t zoneSurvolee_ = Aucune;
    GestionTreeView* arbres_ = nullptr;
    Son* son_ = nullptr;
    Video* video_ = nullptr;
};
