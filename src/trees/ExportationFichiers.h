#pragma once

// « Exporter… »: asks where to write the files of a category or of a group
// (a playlist for sounds and videos, a table for any category), then has
// Exportation write them on a worker thread of its own while a progress
// dialog with « Annuler » shows, once the work has lasted half a second. A
// failure is said in a message box, and so are files a playlist cannot hold. The worker reads the store and writes
// the file; it never touches a widget.

#include "shared/Categorie.h"
#include "shared/Groupe.h"
#include "shared/Travailleur.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class Option;
class QProgressDialog;
class QWidget;
class Stockage;

class ExportationFichiers : public QObject
{
    Q_OBJECT
public:
    static const QString FiltreListe;   // Liste de lecture M3U8 (*.m3u8)
    static const QString FiltreTableau; // Tableau CSV (*.csv)

    // The save dialog: the window, its title, the proposed file, the
    // filters (";;" between them), the filter chosen (in and out). An
    // empty answer gives up. QFileDialog::getSaveFileName unless replaced.
    using Dialogue = std::function<QString(QWidget* fenetre, const QString& titre, const QString& propose,
                                           const QString& filtres, QString* filtreChoisi)>;
    Dialogue DemanderDestination;

    ExportationFichiers(QWidget* fenetre, Stockage& stockage, const Option& option);
    ~ExportationFichiers() override;

    // Asks where, then writes the files of these groups of the store (all of
    // one category), in their order. `nom` is the proposed file's name
    // without its suffix. False when nothing was started: no group, the
    // dialog given up, or an export already running.
    bool Exporter(Categorie categorie, const std::vector<Groupe>& groupes, const QString& nom);
    bool EnCours() const { return travail_ != nullptr; }
    // The progress dialog of the export under way (named "ProgressionExport").
    QProgressDialog* Progression() const;

signals:
    // The worker has ended and the progress dialog is gone: the file was
    // written (ecrit), or the export was stopped or failed.
    void Fini(bool ecrit);

private:
    // echec: why nothing was written; omis: what the file leaves out.
    void Terminer(bool ecrit, const QString& echec, const QString& omis);

    QWidget* fenetre_;
    Stockage& stockage_;
    const Option& option_;
    std::unique_ptr<Travailleur> travail_;
    std::atomic<bool> arret_{false};
    QPointer<QProgressDialog> progression_;
};
