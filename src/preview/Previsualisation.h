#pragma once

// The preview area: fills the picture frame and the labels of the Image and
// Texte panels for the file selected in a tree, opens the previewed file
// with the desktop, clears the panels at a new scan, and runs the fill jobs
// of expanded group nodes. User-interface thread only.

#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class Stockage;
class ThreadPrevisualisation;
struct Noeud;

class Previsualisation
{
public:
    static const QString TailleSeule;         // "Taille :"
    static const QString PrefixeTaille;       // "Taille : "
    static const QString PrefixeDimension;    // "Dimension : "
    static const QString PrefixeImage;        // "Image "
    static const QString PrefixeTexte;        // "Texte "
    static const QString TailleNulle;         // "0 Ko"

    static constexpr int CategorieVideo = 1;
    static constexpr int CategorieSon = 2;
    static constexpr int CategorieImage = 3;
    static constexpr int CategorieTexte = 4;

    Previsualisation();
    ~Previsualisation();
    Previsualisation(const Previsualisation&) = delete;
    Previsualisation& operator=(const Previsualisation&) = delete;

    void Lier(Stockage* stockage) { stockage_ = stockage; }

    // A selected file leaf: fills the panel of its category.
    void Afficher(int categorie, int ordre, Noeud* noeud);
    // An expanded node whose first child is still "...": starts a fill job,
    // unless one for that node is already under way.
    void LancerRemplissage(int categorie, int ordre, Noeud* noeud);
    // Opens the file previewed in a category's panel, if any.
    void Ouvrir(int categorie);
    // A new scan: every panel and path emptied, fill jobs stopped.
    void Effacer();
    // Stops the unfinished fill jobs and forgets all of them.
    void SuspendreRemplissages();

    // Fill jobs kept: running ones, and finished ones whose children have
    // not reached their tree yet.
    size_t NombreRemplissages() const { return remplissages_.size(); }

    // Path bytes of the previewed file of each panel; empty when none or
    // when the file was missing.
    std::string CheminImage;
    std::string CheminSon;
    std::string CheminVideo;
    std::string CheminTexte;

    // The desktop's "open" on a path (bytes). Tests put a recorder here.
    std::function<void(const std::string& chemin)> OuvrirAvecBureau;

private:
    void AfficherImage(const std::string& chemin, bool existe, const QString& nom, const QString& ext,
                       const QString& taille);
    void AfficherTexte(const std::string& chemin, bool existe, const QString& nom, const QString& ext,
                       const QString& taille);
    // Drops the jobs that are done with: finished, and their node filled or gone.
    void LibererTermines();

    Stockage* stockage_ = nullptr;
    std::vector<std::unique_ptr<ThreadPrevisualisation>> remplissages_;
};
