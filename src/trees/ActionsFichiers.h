#pragma once

// What the user can do with the files the trees list: the actions menu of a
// row (open, open with, show in the folder, copy the path, copy the file; on
// a group, copy the paths of all its files and export them), Ctrl+C, Ctrl+E
// (export the shown category) and the drag out of the window. It owns the menu; the paths come from the store, the
// desktop's side from Bureau. A group's files are looked up only when an action needs them, never to build the menu.
// User-interface thread only.

#include "shared/CleArbre.h"

#include <QModelIndexList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <string>
#include <vector>

class ArbreCategorie;
class Bureau;
class ExportationFichiers;
class Option;
class QMenu;
class QMimeData;
class QModelIndex;
class QPoint;
class QWidget;
class Stockage;

class ActionsFichiers : public QObject
{
    Q_OBJECT
public:
    // What a row of a tree stands for.
    struct Cible
    {
        enum class Genre { Aucun, Fichier, Groupe };
        Genre Type = Genre::Aucun;
        CleArbre Cle;
        // A file: its group and row; a group: the store's groups it shows
        // (one, or the 26 letters of "A...Z").
        std::vector<int32_t> Groupes;
        int Ligne = -1;
        QString Nom; // the row's text
    };

    ActionsFichiers(QWidget* fenetre, Stockage& stockage, Bureau& bureau, const Option& option);

    static Cible CibleDe(const QModelIndex& ligne, CleArbre cle);

    // Builds the menu of a row and shows it at a point of the screen;
    // false (no menu) for a row that stands for no file.
    bool Montrer(ArbreCategorie* arbre, const QModelIndex& ligne, const QPoint& position);
    // The menu last built (named "MenuFichier") and its "Ouvrir avec…"
    // submenu ("MenuOuvrirAvec"), filled when it is about to show.
    QMenu* Menu() const { return menu_; }
    QMenu* SousMenuApplications() const { return avec_; }

    // The files a row stands for: one, or every file of a group.
    std::vector<std::string> Chemins(const Cible& cible);
    // The files of rows, each once (a row inside a group also chosen is
    // the group's already).
    std::vector<std::string> Chemins(CleArbre cle, const QModelIndexList& lignes);

    // A file row opened with the desktop's default application; false for
    // any other row.
    bool Ouvrir(CleArbre cle, const QModelIndex& ligne);
    // Ctrl+C: the selected files on the clipboard, as "Copier" puts them.
    void CopierSelection(ArbreCategorie* arbre);
    // What a drag of these rows carries; nullptr when they hold no file.
    QMimeData* DonneesGlisser(CleArbre cle, const QModelIndexList& lignes);
    // Ctrl+E: every file of a category exported (its letter groups, in
    // name order); false when nothing was started.
    bool ExporterCategorie(Categorie categorie);
    // « Exporter… »: its save dialog, worker and progress.
    ExportationFichiers& Exportation() { return *exportation_; }

private:
    void RemplirFichier();
    void RemplirGroupe();
    void RemplirApplications();
    // The target of the menu, while its tree still holds the nodes it was
    // built on; nullptr otherwise.
    const Cible* CibleVivante() const;
    std::string CheminCible() const;

    Stockage& stockage_;
    Bureau& bureau_;
    ExportationFichiers* exportation_;
    QMenu* menu_;
    QMenu* avec_;
    Cible cible_;
    QPointer<ArbreCategorie> arbre_;
    quint64 generation_ = 0;
};
