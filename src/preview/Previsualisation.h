#pragma once

// The preview area: hands the file selected in a tree to the panel of its
// category, opens the previewed file with the desktop, clears the panels at
// a new scan, and keeps the fill jobs of expanded group nodes.
// User-interface thread only.

#include "preview/PanneauImage.h"
#include "preview/PanneauSon.h"
#include "preview/PanneauTexte.h"
#include "preview/PanneauVideo.h"
#include "shared/Groupe.h"

#include <QUrl>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class GestionTreeView;
class Stockage;
class ThreadPrevisualisation;
struct Noeud;

class Previsualisation
{
public:
    Previsualisation();
    ~Previsualisation();
    Previsualisation(const Previsualisation&) = delete;
    Previsualisation& operator=(const Previsualisation&) = delete;

    void Lier(Stockage* stockage) { stockage_ = stockage; }
    void Lier(GestionTreeView* arbres) { arbres_ = arbres; }

    // A selected file leaf of a tree: fills the panel of its category.
    void Afficher(Categorie categorie, Ordre ordre, const Noeud* noeud);
    // The file at a row of a group (a leaf, or the "..." row standing first).
    void Afficher(const Groupe& groupe, int ligne);
    // An expanded group node still holding its "..." placeholder: starts a
    // fill job, unless one for that node is already under way.
    void LancerRemplissage(Categorie categorie, Ordre ordre, Noeud* noeud);
    // Opens the file previewed in a category's panel, if any. A file gone
    // since it was selected is shown as not found instead.
    void Ouvrir(Categorie categorie);
    // The player buttons of the Son and Video panels.
    void SonPlayPause();
    void SonStop();
    void VideoPlayPause();
    void VideoStop();
    // A new scan: every panel and path emptied, fill jobs stopped.
    void Effacer();
    // Stops the unfinished fill jobs and forgets all of them.
    void SuspendreRemplissages();

    // Fill jobs kept: running ones, and finished ones whose children have
    // not reached their tree yet.
    size_t NombreRemplissages() const { return remplissages_.size(); }

    // The panel of a category, or nullptr while it has none.
    Panneau* PanneauDe(Categorie categorie);

    PanneauImage Image;
    PanneauSon Audio;   // the Son panel
    PanneauVideo Film;  // the Video panel
    PanneauTexte Texte;

    // The file address handed to the desktop for a path (bytes).
    static QUrl Adresse(const std::string& chemin);
    // The desktop's "open" on a path (bytes). Tests put a recorder here.
    std::function<void(const std::string& chemin)> OuvrirAvecBureau;

private:
    // Drops the jobs that are done with: finished, and their node filled or gone.
    void LibererTermines();

    Stockage* stockage_ = nullptr;
    GestionTreeView* arbres_ = nullptr;
    // The file each category's panel was last given.
    std::array<FichierApercu, NombreCategories> apercus_;
    std::vector<std::unique_ptr<ThreadPrevisualisation>> remplissages_;
};
