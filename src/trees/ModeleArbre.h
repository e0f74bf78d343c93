#pragma once

// The item model of one category tree: a QAbstractItemModel over a tree of
// Noeud, one column. Each index carries its Noeud; a node's row is its Index.
// Edits come in batches so that large trees cost one notification per batch.

#include "trees/EnfantNoeud.h"
#include "trees/Noeud.h"

#include <QAbstractItemModel>

#include <memory>
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

    // The node of an index (nullptr for the root), and back.
    static Noeud* NoeudDe(const QModelIndex& index);
    QModelIndex IndexDe(const Noeud* noeud) const;

    // A nullptr parent stands for the top level.
    Noeud* Ajouter(Noeud* parent, const QString& texte, int image);
    // Top-level nodes, each with one child (texteEnfant, imageEnfant).
    void AjouterRacinesAvecEnfant(const std::vector<QString>& textes, int image,
                                  const QString& texteEnfant, int imageEnfant);
    void SupprimerEnfants(Noeud* noeud);
    void AjouterEnfants(Noeud* noeud, const std::vector<EnfantNoeud>& enfants);
    void ChangerImage(Noeud* noeud, int image);
    void ToutSupprimer();

    int NombreRacines() const { return static_cast<int>(racines_.size()); }
    Noeud* Racine(int index) const;

private:
    std::vector<std::unique_ptr<Noeud>>& Liste(Noeud* parent);
    const std::vector<std::unique_ptr<Noeud>>* Liste(const QModelIndex& parent) const;

    ListeImages* images_;
    std::vector<std::unique_ptr<Noeud>> racines_;
};
