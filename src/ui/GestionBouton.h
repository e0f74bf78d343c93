#pragma once

// The home panel's scan controls: validates the directory, starts, pauses
// and ends a scan, and gives the panel's buttons and labels their hover looks.

#include "ui/FolderDialog.h"

#include <QString>

#include <cstdint>
#include <memory>

class GestionProgressBar;
class GestionTreeView;
class Previsualisation;
class Scanneur;
class Stockage;
class ThreadScanneur;
class ThreadStockage;
class ThreadTreeView;

class GestionBouton
{
public:
    static const QString TexteInvitation;    // " Cliquer sur l'image pour Parcourir"
    static const QString LegendeRepos;       // "     Lancement du Scan"
    static const QString LegendeScan;        // "         Scan en cours ..."

    enum class Arret { Fin = 0, Utilisateur = 1, Fermeture = 2 };

    GestionBouton();
    ~GestionBouton();

    void Lier(GestionProgressBar* barre) { barre_ = barre; }
    void Lier(GestionTreeView* arbres) { arbres_ = arbres; }
    void Lier(Stockage* stockage) { stockage_ = stockage; }
    void Lier(Scanneur* scanneur) { scanneur_ = scanneur; }
    void Lier(Previsualisation* previsualisation) { previsualisation_ = previsualisation; }

    void Parcourir();
    void LancerScan();
    void PauseScan();
    void ArreterScan(Arret mode);
    void ClicOption() {}
    // The five count labels, from the store's counters.
    void AfficherCompteurs();
    // Ends every worker of the current scan for good (program shutdown).
    void TerminerTravailleurs();

    void SurvolerParcourir();
    void RelacherParcourir();
    void SurvolerScan();
    void RelacherScan();
    void SurvolerOption();
    void RelacherOption();
    void SurvolerPause();
    void RelacherPause();
    void SurvolerArret();
    void RelacherArret();

    uint8_t EtatOption = 0;
    uint8_t EtatScan = 0;
    FolderDialog Dialogue;

private:
    void ActiverCommandes(bool actives);

    GestionProgressBar* barre_ = nullptr;
    GestionTreeView* arbres_ = nullptr;
    Stockage* stockage_ = nullptr;
    Scanneur* scanneur_ = nullptr;
    Previsualisation* previsualisation_ = nullptr;
    std::unique_ptr<ThreadTreeView> threadTreeView_;
    std::unique_ptr<ThreadStockage> threadStockage_;
    std::unique_ptr<ThreadScanneur> threadScanneur_;
};
