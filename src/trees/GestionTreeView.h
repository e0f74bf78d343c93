#pragma once

// The category area, the front of its rooms: the views (the twelve trees,
// their frame, the order drop-down, the running label), the builder of the
// trees from the store's counts, the stream of "Par Répertoire" roots during
// a scan (the listener of the store and of the scan), the fill jobs of the
// groups the user expands, the actions on the files listed (the rows' menu,
// Ctrl+C, the drag out: ActionsFichiers) and the filter as you type. It
// builds them, wires them, follows the scan's life, and announces the file
// the user selects.

#include "shared/CleArbre.h"
#include "shared/Groupe.h"
#include "trees/VuesArbres.h"

#include <QObject>

#include <atomic>
#include <cstddef>
#include <memory>

class ActionsFichiers;
class ArbreCategorie;
class Bureau;
class ConstructeurArbres;
class Extension;
class FiltreArbres;
class FluxRepertoires;
class Option;
class QWidget;
class RemplissagesArbres;
class Stockage;
struct Noeud;

class GestionTreeView : public QObject
{
    Q_OBJECT
public:
    using ModeVider = VuesArbres::ModeVider;

    // Builds the category area's components in the window, hidden. The
    // desktop opens, shows and copies the files of the trees.
    GestionTreeView(QWidget* fenetre, Option& option, Stockage& stockage, Extension& extension, Bureau& bureau);
    ~GestionTreeView() override;

    // The rooms.
    VuesArbres& Vues() { return *vues_; }
    ConstructeurArbres& Constructeur() { return *constructeur_; }
    // The listener of the store and of the scan (EcouteStockage, EcouteScan).
    FluxRepertoires& Flux() { return *flux_; }
    RemplissagesArbres& Remplissages() { return *remplissages_; }
    // The actions on the files of the trees: the rows' menu, Ctrl+C, the drag out.
    ActionsFichiers& Actions() { return *actions_; }
    // The filter as you type over the shown category's trees.
    FiltreArbres& Filtre() { return *filtre_; }

    // The file-type icons of the trees (folder pictures first).
    ListeImages& ImageListExt() { return vues_->ImageListExt(); }
    ArbreCategorie* Arbre(CleArbre cle) const { return vues_->Arbre(cle); }
    ArbreCategorie* Arbre(Categorie categorie, Ordre ordre) const { return vues_->Arbre(categorie, ordre); }
    // The invitation text in all twelve trees, each category showing the
    // order the settings hold.
    void InitialiserOrdres() { vues_->InitialiserOrdres(); }
    Ordre OrdreCourant(Categorie categorie) const { return vues_->OrdreCourant(categorie); }
    void ChangerOrdre(Categorie categorie, Ordre ordre) { vues_->ChangerOrdre(categorie, ordre); }
    // Shows the category's tree of an order, or hides its three trees;
    // ordre 0 stands for the category's current order.
    void AfficherArbres(Categorie categorie, int ordre, bool montrer)
    {
        vues_->AfficherArbres(categorie, ordre, montrer);
    }
    // Shows or hides the frame, the drop-down and the filter box of the category zones.
    void MontrerCadre(bool montrer);

    // The scan's life: a new scan empties every tree and stops the fill
    // jobs; a pause or the end builds the alphabetical and by-extension
    // trees from the store; a resume takes them down again until the next
    // pause or the end.
    void ScanDemarre();
    void ScanArrete();
    void ScanRepris();

    // Whether by-directory nodes are still on their way (the running label's state).
    bool AffichageEnCours() const;

    // An expanded group node still holding its "..." placeholder: starts a
    // fill job, unless one for that node is already under way.
    void LancerRemplissage(CleArbre cle, Noeud* noeud);
    // Stops the unfinished fill jobs and forgets all of them.
    void SuspendreRemplissages();
    size_t NombreRemplissages() const;

    // The drop-down of the orders, for the keyboard and screen readers.
    QComboBox* ChoixTrie() const { return vues_->ChoixTrie(); }

signals:
    // The user selected the file at a row of a group (a leaf, or the "..."
    // row standing first in its group).
    void FichierChoisi(const Groupe& groupe, int ligne);

private:
    void Relier();

    std::unique_ptr<VuesArbres> vues_;
    std::unique_ptr<ConstructeurArbres> constructeur_;
    std::unique_ptr<FluxRepertoires> flux_;
    std::unique_ptr<RemplissagesArbres> remplissages_;
    ActionsFichiers* actions_ = nullptr;
    std::unique_ptr<FiltreArbres> filtre_;

public:
    // Whether the end of the scan was told to the stream (after the rooms:
    // it reads the stream's flag).
    const std::atomic<bool>& FinDemandee;
};
