#pragma once

// The home panel: the folder picture and the path box, the scan button and
// its legend, the five counters, and the "Pause" and "Arrêt" labels of a
// running scan, which it builds and owns. It validates the directory, asks
// the scan's owner to start, pause and stop, follows the scan's life on
// its labels, shows the counters every 100 ms while a scan runs, and gives
// its buttons and labels their hover looks. ">>>" opens the menu of the
// three walk options, each written to the settings and saved at once. A
// folder dropped on the window is scanned as if typed (a file: its folder);
// the folder browser opens at the folder last scanned.

#include "shared/SondeChemin.h"
#include "ui/FolderDialog.h"

#include <QByteArray>
#include <QObject>
#include <QPoint>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <string>

class Etiquette;
class GestionScan;
class ImageComposant;
class Option;
class QEventLoop;
class QMenu;
class QTimer;
class Stockage;
class QWidget;
class TFormPrincipal;
class ZoneSaisie;

class GestionBouton : public QObject
{
    Q_OBJECT
public:
    static const QString TexteInvitation; // " Cliquer sur l'image pour Parcourir"
    static const QString LegendeRepos;    // "     Lancement du Scan"
    static const QString LegendeScan;     // "         Scan en cours ..."
    // Where the scan's legend and the two browse pictures stand (hovered,
    // the pictures move one pixel down and right).
    static constexpr QPoint PlaceLegendeScan{272, 200};
    static constexpr QPoint PlaceParcourir{170, 127};
    static constexpr QPoint PlaceParcourirBas{148, 158};

    // Builds the home panel's components in the window, hidden. The scan's
    // owner is asked to start, pause and stop; it is not used before the
    // first click.
    GestionBouton(TFormPrincipal& fenetre, GestionScan& scans, Stockage& stockage, Option& option);
    ~GestionBouton() override;

    // Shows or hides the panel with the Home zone.
    void Montrer(bool montrer);

    // The folder browser, opened at the folder last scanned when it is
    // still there, else at the home folder.
    void Parcourir();
    // Starts a scan of the directory in the path box, once it is checked.
    void LancerScan();
    // Puts the directory in the path box and starts the scan, as Enter would.
    void Scanner(const QString& repertoire);
    // A path dropped on the window, while no scan runs: once looked at off
    // the window's thread, a folder fills the path box and is scanned, a
    // file's folder likewise; a path that is gone is said as Enter says it.
    void Deposer(const QByteArray& chemin);
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

    // What the keyboard and screen readers reach: the path box and its
    // legend, the commands in their Tab order, the other pictures and
    // labels to name, the five counters.
    struct Accessibles
    {
        ZoneSaisie* Chemin;
        Etiquette* LegendeChemin;
        std::array<QWidget*, 5> Commandes; // scan, browse, options, pause, stop
        ImageComposant* Scan;
        ImageComposant* Parcourir;
        ImageComposant* ParcourirBas;
        Etiquette* LegendeScan;
        Etiquette* Options;
        Etiquette* Pause;
        Etiquette* Arret;
        std::array<Etiquette*, 5> Compteurs; // video, son, image, texte, total
    };
    Accessibles Acces() const;

    uint8_t EtatOption = 0;
    FolderDialog Dialogue;

signals:
    // A dropped path is taken: the path box shows it, and its scan starts
    // (or its absence is said) right after.
    void DepotPris();

private:
    void CreerComposants();
    void Relier();
    void ActiverCommandes(bool actives);
    void CreerMenuOptions();
    // Starts the scan of a checked path and keeps it for the browser.
    void Demarrer(const std::string& chemin);
    void SignalerInexistant(const QString& texte);
    void DepotExamine(uint64_t depot, const QByteArray& chemin, SondeChemin::Nature nature);
    // Where the browser opens: the folder last scanned, else the home
    // folder, each looked at off the window's thread for at most
    // DelaiDepart; neither, the dialog's own choice.
    QString DossierDeDepart();

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
    // The total sizes beside them, in the same order.
    std::array<Etiquette*, 5> tailles_{};
    Etiquette* LabelPause;
    Etiquette* LabelArret;
    QTimer* TimerFichier;
    QMenu* MenuOptions;

    SondeChemin sonde_;
    // The last path dropped, as its bytes, and the text the path box shows
    // for it: Enter on that text scans those bytes.
    QByteArray cheminDepose_;
    QString texteDepose_;
    // The newest drop and the newest browser opening: older answers are dropped.
    uint64_t depots_ = 0;
    uint64_t ouvertures_ = 0;
    QEventLoop* attenteDepart_ = nullptr;
    // What the folder last scanned and the home folder were found to be.
    std::array<std::optional<SondeChemin::Nature>, 2> naturesDepart_;
};
