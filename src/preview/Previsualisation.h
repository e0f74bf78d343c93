#pragma once

// The preview area: its frame and one panel per category, which it builds;
// has the file selected in a tree read off the window's thread
// (SondeApercu), words its name, extension and size and hands them to the
// panel of its category, opens the previewed file with the desktop, and
// clears the panels at a new scan. User-interface thread only.

#include "preview/PanneauImage.h"
#include "preview/PanneauSon.h"
#include "preview/PanneauTexte.h"
#include "preview/PanneauVideo.h"
#include "preview/SondeApercu.h"
#include "shared/Groupe.h"

#include <QUrl>

#include <array>
#include <functional>
#include <string>

class Stockage;

class Bureau;
class Cadre;
class Son;
class Video;

class Previsualisation
{
public:
    // The desktop opens the previewed files.
    Previsualisation(QWidget* fenetre, const TFormImage& skin, Stockage& stockage, Son& son, Video& video,
                     Bureau& bureau);
    Previsualisation(const Previsualisation&) = delete;
    Previsualisation& operator=(const Previsualisation&) = delete;

    // The file at a row of a group (a leaf, or the "..." row standing first):
    // its panel shows it once it has been read, off this thread.
    void Afficher(const Groupe& groupe, int ligne);
    // Whether a selection is still being read.
    bool LectureEnCours() const { return sonde_.EnAttente(); }
    // Opens the file previewed in a category's panel, if any. A file gone
    // since it was selected is shown as not found instead.
    void Ouvrir(Categorie categorie);
    // A new scan: every panel and path emptied, the players stopped.
    void Effacer();
    // Shows or hides the frame of the category zones.
    void MontrerCadre(bool montrer);

    // The panel of a category, or nullptr while it has none.
    Panneau* PanneauDe(Categorie categorie);

private:
    Cadre* BevelPrevisu; // made first: it lies under every panel

public:
    PanneauImage Image;
    PanneauSon Audio;  // the Son panel
    PanneauVideo Film; // the Video panel
    PanneauTexte Texte;

    // The file address handed to the desktop for a path (bytes).
    static QUrl Adresse(const std::string& chemin);
    // The desktop's "open" on a path (bytes), which says so when it fails.
    // Tests put a recorder here.
    std::function<void(const std::string& chemin)> OuvrirAvecBureau;

private:
    static Cadre* CreerCadre(QWidget* fenetre);
    // The selection read: its texts, to its panel.
    void Appliquer(const SondeApercu::Reponse& reponse);

    // The file each category's panel was last given.
    std::array<FichierApercu, NombreCategories> apercus_;
    SondeApercu sonde_; // last: its answers reach the panels
};
