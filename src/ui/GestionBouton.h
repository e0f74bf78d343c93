#pragma once

// The home panel: the folder picture and the path box, the scan button and
// its legend, the five counters, and the "Pause" and "Arrêt" labels of a
// running scan, which it builds and owns. It validates the directory, asks
// the scan's owner to start, pause and stop, follows the scan's life on
// its labels, shows the counters every 100 ms while a scan runs, and gives
// its buttons and labels their hover looks. ">>>" opens the menu of the
// three walk options, each written to the settings and saved at once.

#include "ui/FolderDialog.h"

#include <QObject>
#include <QString>

#include <array>
#include <cstdint>

class Etiquette;
class GestionScan;
class ImageComposant;
class Option;
class QMenu;
class QTimer;
class Stockage;
class TFormPrincipal;
class ZoneSaisie;

class GestionBouton : public QObject
{
    Q_OBJECT
public:
    static const QString TexteInvitation;    // " Cliquer sur l'image pour Parcourir"
    static const QString LegendeRepos;       // "     Lancement du Scan"
    static const QString LegendeScan;        // "         Scan en cours ..."

    // Builds the home panel's components in the window, hidden. The scan's
    // owner is asked to start, pause and stop; it is not used before the
    // first click.
    GestionBouton(TFormPrincipal& fenetre, GestionScan& scans, Stockage& stockage, Option& option);
    ~GestionBouton() override;

    // Shows or hides the panel with the Home zone.
    void Montrer(bool montrer);

    void Parcourir();
    // Starts a scan of the directory in the path box, once it is checked.
    void LancerScan();
    // Puts the directory in the path box and starts the scan, as Enter would.
    void Scanner(const QString& repertoire);
    // "Pause" and "Scan": pauses or resumes the scan.
    void PauseScan();
    // "Arrêt": the user stops the scan.
    void ArreterScan();
    // ">>>": shows the walk options' menu under the label, ticked from the
    // settings.
    void ClicOption();
    // The five count labels, from the store's counters.
    void AfficherCompteurs();
    // Each counter's accessible name: its category and its number.
    void NommerCompteurs();

    // The scan's life on the panel: its labels, its commands, the counters.
    void ScanDemarre();
    void ScanEnPause();
    void ScanRepris();
    void ScanTermine();

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
    FolderDialog Dialogue;

private:
    void CreerComposants();
    void Relier();
    void ActiverCommandes(bool actives);
    void CreerMenuOptions();

    TFormPrincipal& fenetre_;
    GestionScan& scans_;
    Stockage& stockage_;
    Option& option_;

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
    QMenu* MenuOptions;
};
