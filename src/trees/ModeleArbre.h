#pragma once

// The item model of one category tree: a QAbstractItemModel over a tree of
// Noeud, one column. Each index carries its Noeud; a node's row is its Index.
// The row of a flagged "..." child carries its parent, marked in the low bit.
// Edits come in batches so that large trees cost one notification per batch.

#include "trees/EnfantNoeud.h"
#include "trees/ListeEnfants.h"
#include "trees/Noeud.h"
#include "trees/ReserveNoeuds.h"
#include "trees/ReserveTextes.h"

#include <QAbstractItemModel>

#include <vector>

class ListeImages;

class ModeleArbre : public QAbstractItemModel
{
    Q_OBJECT
public:
    ModeleArbre(ListeImages* images, QObject* parent);
    ~ModeleArbre() override;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The node of an index (nullptr for the root), and back. A flagged "..."
    // row gives the shared placeholder (Noeud::Attente), and back.
    static Noeud* NoeudDe(const QModelIndex& index);
    QModelIndex IndexDe(const Noeud* noeud) const;

    // A nullptr parent stands for the top level. Edits given the shared
    // placeholder apply to a real "..." node put in its place.
    Noeud* Ajouter(Noeud* parent, const QString& texte, int image);
    // Top-level nodes, each with a flagged "..." child of image imageAttente.
    void AjouterRacinesAvecAttente(const std::vector<QString>& textes, int image, int imageAttente);
    void SupprimerEnfants(Noeud* noeud);
    void AjouterEnfants(Noeud* noeud, const std::vector<EnfantNoeud>& enfants);
    void ChangerImage(Noeud* noeud, int image);
    void ToutSupprimer();

    int NombreRacines() const { return static_cast<int>(racines_.size()); }
    Noeud* Racine(int index) const;

private:
    ListeEnfants& Liste(Noeud* parent);
    Noeud* Nouveau(Noeud* parent, TexteNoeud texte, int image, int ligne);
    // The node an edit applies to: a real "..." node for the placeholder.
    Noeud* Reel(Noeud* noeud);
    // Turns the flagged "..." child of parent into a real node, same row.
    Noeud* Materialiser(Noeud* parent);

    ListeImages* images_;
    ListeEnfants racines_;
    ReserveNoeuds noeuds_;   // every node of the tree
    ReserveTextes textes_;   // every node's text but "..."
};
