#pragma once

// The home panel: the folder picture and the path box, the scan button and
// its legend, the five counters, and the "Pause" and "Arrêt" labels of a
// running scan, which it builds and owns. It validates the directory,
// starts, pauses and ends a scan, shows the counters every 100 ms while a
// scan runs, and gives its buttons and labels their hover looks.

#include "ui/FolderDialog.h"

#include <QObject>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>

class Etiquette;
class GestionProgressBar;
class GestionTreeView;
class ImageComposant;
class Previsualisation;
class QTimer;
class Scanneur;
class Stockage;
class TFormPrincipal;
class ThreadScanneur;
class ThreadStockage;
class ThreadTreeView;
class ZoneSaisie;

class GestionBouton : public QObject
{
    Q_OBJECT
public:
    static const QString TexteInvitation;    // " Cliquer sur l'image pour Parcourir"
    static const QString LegendeRepos;       // "     Lancement du Scan"
    static const QString LegendeScan;        // "         Scan en cours ..."

    enum class Arret { Fin = 0, Utilisateur = 1, Fermeture = 2 };

    // Builds the home panel's components in the window, hidden.
    GestionBouton(TFormPrincipal& fenetre, GestionProgressBar& barre, GestionTreeView& arbres, Stockage& stockage,
                  Scanneur& scanneur, Previsualisation& previsualisation);
    ~GestionBouton() override;

    // Shows or hides the panel with the Home zone.
    void Montrer(bool montrer);

    void Parcourir();
    void LancerScan();
    // Puts the directory in the path box and starts the scan, as Enter would.
    void Scanner(const QString& repertoire);
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
    void CreerComposants();
    void Relier();
    void ActiverCommandes(bool actives);

    TFormPrincipal& fenetre_;
    GestionProgressBar& barre_;
    GestionTreeView& arbres_;
    Stockage& stockage_;
    Scanneur& scanneur_;
    Previsualisation& previsualisation_;

    ImageComposant* ImgHomeParcourir;
    ImageComposant* ImgHomeParcourirBas;
    Etiquette* LabelHomeParcourir;
    Etiquette* LabelHomeOption;
    ZoneSaisie* EditHomeRepertoireScan;
    ImageComposant* ImgHomeScan;
    Etiquette* LabelHomeScan;
    ImageComposant* ImgHomeFichierFond;
    // Video, Son, Image, Texte and the total.
    std::array<Etiquette*, 5> compteurs_{};
    Etiquette* LabelPause;
    Etiquette* LabelArret;
    QTimer* TimerFichier;

    std::unique_ptr<ThreadTreeView> threadTreeView_;
    std::unique_ptr<ThreadStockage> threadStockage_;
    std::unique_ptr<ThreadScanneur> threadScanneur_;
};
