#pragma once

// One of the twelve category tree views: a QTreeView over a tree of Noeud,
// with the images of ImageListExt. Read-only, no border, indent 19.
// All of it lives on the user-interface thread.
//
// QTreeView lays out every top-level row again, and repaints, for each
// batch of rows inserted at the top level: a tree of 200 000 directory
// roots growing during a scan would cost its window a few milliseconds per
// batch. Rows appended below a full viewport change nothing on screen but
// the scroll bar, so the view takes them in at most every
// DelaiAjoutsMs instead.

#include "shared/CleArbre.h"
#include "shared/EnfantNoeud.h"
#include "trees/Noeud.h"

#include <QModelIndexList>
#include <QTreeView>

#include <functional>
#include <unordered_set>
#include <vector>

class ListeImages;
class ModeleArbre;
class QMimeData;
class QTimer;

class ArbreCategorie : public QTreeView
{
    Q_OBJECT
public:
    ArbreCategorie(ListeImages* images, CleArbre cle, QWidget* parent);

    CleArbre Cle() const { return cle_; }
    // category × 10 + order
    int Tag() const { return cle_.Tag(); }

    // Node edits. Every one keeps the view in step with the nodes.
    Noeud* AjouterRacine(const QString& texte, int image);
    Noeud* AjouterEnfant(Noeud* parent, const QString& texte, int image);
    // A group node (parent nullptr: top level) with its "..." placeholder.
    Noeud* AjouterGroupe(Noeud* parent, const QString& texte, int image, int32_t groupe, int imageAttente);
    // Appends several top-level directory group nodes, each with one "..."
    // placeholder (image -1), in one batch; a node's group is its row, or
    // the one of `groupes` at the same rank.
    void AjouterRacinesAvecAttente(const std::vector<QString>& textes, int image,
                                   const std::vector<int32_t>* groupes = nullptr);
    // Replaces the children of a node by the given leaves in one batch, then expands it.
    void RemplacerEnfants(Noeud* noeud, const std::vector<EnfantNoeud>& enfants);
    // Gives a group node a list of `nombre` children without nodes (read
    // from the model's source when shown; see ModeleArbre::DefinirLignes),
    // then expands it.
    void DefinirLignes(Noeud* noeud, int32_t nombre, std::vector<EnfantNoeud> premieres);
    void ChangerImage(Noeud* noeud, int image);
    void ToutSupprimer();
    // The size column's width, in pixels.
    int LargeurTaille() const;
    int NombreRacines() const;
    Noeud* Racine(int index) const;

    // Root lines ("ShowRoot").
    void DefinirShowRoot(bool montrer);
    bool ShowRoot() const;

    // The node selected, or nullptr (none, or a "..." placeholder).
    Noeud* NoeudSelectionne() const;
    void Selectionner(Noeud* noeud);
    void Deselectionner();
    void Deployer(Noeud* noeud);

    // Grows whenever every node is removed: a node pointer taken under one
    // generation is valid while the generation is unchanged.
    quint64 Generation() const { return generation_; }

    ModeleArbre* Modele() const { return modele_; }

    // The nodes expanded (the group nodes open), in no order.
    const std::unordered_set<Noeud*>& Deployes() const { return deployes_; }

    // What a drag of these rows carries out of the window; nullptr: no drag.
    std::function<QMimeData*(const QModelIndexList& lignes)> GlisserDonnees;
    // Whether a filter is open over the tree: Escape then closes it instead
    // of reaching the window's shortcut.
    std::function<bool()> FiltreOuvert;

    // How long rows appended below a full viewport may wait to be laid out.
    static constexpr int DelaiAjoutsMs = 100;
    // Whether appended rows wait to be laid out.
    bool AjoutsEnAttente() const;

signals:
    void Deploiement(Noeud* noeud);
    void Repli(Noeud* noeud);
    // The current row changed: to a node, or to the "..." placeholder of
    // parentAttente (noeud nullptr), or to nothing (both nullptr).
    void ChangementSelection(Noeud* noeud, Noeud* parentAttente);
    // The actions menu of a row (invalid: none) at a point of the screen:
    // a right click, the Menu key or Shift+F10 (the current row).
    void MenuDemande(const QModelIndex& ligne, const QPoint& position);
    // Ctrl+C (the standard copy keys).
    void CopieDemandee();
    // Ctrl+F (empty), or printable text typed: the filter box is wanted.
    void FiltreDemande(const QString& saisie);
    // Escape while FiltreOuvert says so.
    void FermetureFiltreDemandee();

protected:
    void rowsInserted(const QModelIndex& parent, int debut, int fin) override;
    void contextMenuEvent(QContextMenuEvent* evenement) override;
    void startDrag(Qt::DropActions actions) override;

private:
    void DisposerColonnes();

    ModeleArbre* modele_;
    QTimer* ajouts_; // the layout owed to top-level rows appended while shown
    CleArbre cle_;
    quint64 generation_ = 0;
    std::unordered_set<Noeud*> deployes_;
};
