#pragma once

// One of the twelve category tree views: a QTreeView over a tree of Noeud,
// with the images of ImageListExt. Read-only, no border, indent 19.
// All of it lives on the user-interface thread.

#include "trees/EnfantNoeud.h"
#include "trees/Noeud.h"

#include <QTreeView>

#include <vector>

class ListeImages;
class ModeleArbre;

class ArbreCategorie : public QTreeView
{
    Q_OBJECT
public:
    ArbreCategorie(ListeImages* images, int tag, QWidget* parent);
    ~ArbreCategorie() override;

    int Tag() const { return tag_; }

    // Node edits. Every one keeps the view in step with the nodes.
    Noeud* AjouterRacine(const QString& texte, int image);
    Noeud* AjouterEnfant(Noeud* parent, const QString& texte, int image);
    // Appends several top-level nodes, each with one "..." child (image -1), in one batch.
    // That child is a flag on its parent, not a node (see Noeud).
    void AjouterRacinesAvecAttente(const std::vector<QString>& textes, int image);
    // Replaces the children of a node by the given leaves in one batch, then expands it.
    void RemplacerEnfants(Noeud* noeud, const std::vector<EnfantNoeud>& enfants);
    void ChangerImage(Noeud* noeud, int image);
    void ToutSupprimer();
    int NombreRacines() const;
    Noeud* Racine(int index) const;

    // Root lines ("ShowRoot").
    void DefinirShowRoot(bool montrer);
    bool ShowRoot() const;

    // The node selected, or nullptr.
    Noeud* NoeudSelectionne() const;
    void Selectionner(Noeud* noeud);
    void Deselectionner();
    void Deployer(Noeud* noeud);

    // Grows whenever every node is removed: a node pointer taken under one
    // generation is valid while the generation is unchanged.
    quint64 Generation() const { return generation_; }

    ModeleArbre* Modele() const { return modele_; }

signals:
    void Deploiement(Noeud* noeud);
    void Repli(Noeud* noeud);
    void ChangementSelection(Noeud* noeud);

private:
    ModeleArbre* modele_;
    int tag_;
    quint64 generation_ = 0;
};
