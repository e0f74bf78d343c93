#pragma once

// The item model of one category tree: a QAbstractItemModel over a tree of
// Noeud, two columns: the name, and the size (a file's, or the total of a
// group's files, read from the store when shown). Each index carries its
// Noeud; a node's row is its Index. The row of a flagged "..." child carries
// its parent, marked in the low bit. One group node may hold a list of
// children without nodes (a biggest-first list of a whole category): their
// rows are read a page at a time from a source when shown. Edits come in
// batches so that large trees cost one notification per batch.

#include "shared/EnfantNoeud.h"
#include "trees/ListeEnfants.h"
#include "trees/Noeud.h"
#include "trees/ReserveNoeuds.h"
#include "trees/ReserveTextes.h"

#include <QAbstractItemModel>

#include <cstdint>
#include <functional>
#include <map>
#include <unordered_map>
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
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // A list's rows are handed to the view a step at a time, as it scrolls
    // to their end: a view lays out every row it is given, which for a
    // list of 500 000 would hold the window's thread too long.
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    static constexpr int32_t PasLignes = 20000;
    // The columns' titles, "Nom" and "Taille", which screen readers read
    // for the hidden header.
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The node of an index (nullptr for the root and for a "..." row), and back.
    static Noeud* NoeudDe(const QModelIndex& index);
    QModelIndex IndexDe(const Noeud* noeud) const;
    // The node whose "..." placeholder an index is, or nullptr; and back.
    static Noeud* ParentAttenteDe(const QModelIndex& index);
    QModelIndex IndexAttente(const Noeud* parent) const;

    // A nullptr parent stands for the top level. Real children take the
    // place of a "..." placeholder.
    Noeud* Ajouter(Noeud* parent, const QString& texte, int image);
    // A group node, with a "..." placeholder of image imageAttente.
    Noeud* AjouterGroupe(Noeud* parent, const QString& texte, int image, int32_t groupe, int imageAttente);
    // Top-level directory group nodes, each with a "..." placeholder of
    // image imageAttente; a node's group is its row. A null text stands for
    // the source's (see DefinirSourceTextes).
    void AjouterRacinesAvecAttente(const std::vector<QString>& textes, int image, int imageAttente,
                                   const std::vector<int32_t>* groupes = nullptr);
    void SupprimerEnfants(Noeud* noeud);
    void AjouterEnfants(Noeud* noeud, const std::vector<EnfantNoeud>& enfants);
    void ChangerImage(Noeud* noeud, int image);
    void ToutSupprimer();

    static constexpr int ColonneTaille = 1;
    // What the size column shows for a size that could not be read.
    static const QString TailleInconnue;
    // The total size of a group's files, given its group (the store's).
    using SourceOctets = std::function<int64_t(int32_t groupe)>;
    void DefinirSourceOctets(SourceOctets source) { octets_ = std::move(source); }
    // The size text of a row: a file's size, a group's total; empty for
    // any other row.
    QString TexteTaille(const QModelIndex& index) const;

    // Rows [debut, debut + nombre) of the list a group node holds.
    using SourceLignes = std::function<std::vector<EnfantNoeud>(int32_t groupe, size_t debut, size_t nombre)>;
    void DefinirSourceLignes(SourceLignes source) { lignes_ = std::move(source); }
    // Gives a group node `nombre` children without nodes, read from the
    // source when shown (the view gets them a step at a time); `premieres` are its first rows, already read.
    // Only one node of the model holds such a list.
    void DefinirLignes(Noeud* noeud, int32_t nombre, std::vector<EnfantNoeud> premieres);
    // The node holding the list, or nullptr; the row of a list index (-1
    // for any other index).
    Noeud* ParentLignes() const { return parentLignes_; }
    static int LigneListe(const QModelIndex& index);
    // A list row as the source gives it (its text, image and size), or nullptr.
    const EnfantNoeud* EnfantListe(int ligne) const;
    static constexpr size_t TaillePage = 256;

    // The text of a top-level group node, given its group, for the nodes
    // that keep no copy of it: those AjouterRacinesAvecAttente adds with a
    // null text. The source must give the same text for a group as long as
    // nodes of it exist.
    using SourceTextes = std::function<QString(int32_t groupe)>;
    void DefinirSourceTextes(SourceTextes source) { source_ = std::move(source); }
    // The text a node shows.
    QString Texte(const Noeud* noeud) const;

    int NombreRacines() const { return static_cast<int>(racines_.size()); }
    Noeud* Racine(int index) const;

private:
    void RetirerAttente(Noeud* noeud);
    void RetirerLignes();
    int64_t OctetsNoeud(const Noeud* noeud, bool& lisible) const;

    ListeImages* images_;
    ListeEnfants racines_;
    ReserveNoeuds noeuds_; // every node of the tree
    ReserveTextes textes_; // every node's text but "..." and those of the source
    SourceTextes source_;
    SourceOctets octets_;
    SourceLignes lignes_;
    Noeud* parentLignes_ = nullptr;
    int32_t nombreLignes_ = 0;
    int32_t montrees_ = 0; // rows of the list handed to the view so far
    // The groups' totals read so far: a group's files do not change while
    // its tree holds it (a directory is filed whole; the other trees are
    // built at a pause or the end, or filtered, anew).
    mutable std::unordered_map<int32_t, int64_t> octetsGroupes_;
    // The list's pages read last, by first row; a few are kept.
    mutable std::map<size_t, std::vector<EnfantNoeud>> pages_;
};
