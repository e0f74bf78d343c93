#pragma once

// The category area: the twelve trees, their frame, the order drop-down and
// the running label, which it builds and owns; placeholders before and
// during a scan, the visible order per category, the trees built from the
// store (alphabetical skeletons, one node per extension), the worker that
// grows the "Par Répertoire" trees during a scan, and the fill jobs of the
// group nodes the user expands, and the actions on the files listed (the
// rows' menu, Ctrl+C, the drag out: ActionsFichiers). It listens to the
// store (each directory filed) and to the scan's owner (its start, its
// worker, its end), and announces the file the user selects.

#include "scan/EcouteScan.h"
#include "scan/EcouteStockage.h"
#include "scan/Stockage.h"
#include "shared/CleArbre.h"
#include "shared/EnfantNoeud.h"
#include "shared/Groupe.h"
#include "shared/ListeImages.h"
#include "shared/TAttente.h"
#include "trees/Noeud.h"

#include <QObject>
#include <QString>

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class ActionsFichiers;
class ArbreCategorie;
class FiltreArbres;
class Bureau;
class Cadre;
class Etiquette;
class Extension;
class Option;
class QComboBox;
class QWidget;
class ThreadPrevisualisation;
class Travailleur;

class GestionTreeView : public QObject, public EcouteStockage, public EcouteScan
{
    Q_OBJECT
public:
    enum class ModeVider { Tous, ExtensionEtAlphabetique };

    static const QString TexteInvitation; // Cliquer sur " Lancement du Scan "
    static const QString TextePatientez;  // "Patientez  ..."
    static const QString TexteAttente;    // "..."

    // Builds the category area's components in the window, hidden. The
    // desktop opens, shows and copies the files of the trees.
    GestionTreeView(QWidget* fenetre, Option& option, Stockage& stockage, Extension& extension, Bureau& bureau);
    ~GestionTreeView() override;

    // The file-type icons of the trees (folder pictures first).
    ListeImages& ImageListExt() { return imageListExt_; }
    // Shows or hides the frame and the drop-down of the category zones.
    void MontrerCadre(bool montrer);
    // The actions on the files of the trees: the rows' menu, Ctrl+C, the drag out.
    ActionsFichiers& Actions() { return *actions_; }

    // The scan's life: a new scan empties every tree and stops the fill
    // jobs; a pause or the end builds the alphabetical and by-extension
    // trees from the store; a resume takes them down again until the next
    // pause or the end.
    void ScanDemarre();
    void ScanArrete();
    void ScanRepris();

    // User-interface thread only.
    ArbreCategorie* Arbre(CleArbre cle) const;
    ArbreCategorie* Arbre(Categorie categorie, Ordre ordre) const { return Arbre(CleArbre{categorie, ordre}); }
    Noeud* AjouterRacine(Categorie categorie, Ordre ordre, const QString& texte, int image);
    Noeud* AjouterEnfant(Categorie categorie, Ordre ordre, const QString& texte, int image, Noeud* parent);
    void Vider(ModeVider mode);
    void AfficherPatientez();
    // The invitation text in all twelve trees, each category showing the
    // order the settings hold.
    void InitialiserOrdres();
    // Shows the category's tree of an order, or hides its three trees;
    // ordre 0 stands for the category's current order.
    void AfficherArbres(Categorie categorie, int ordre, bool montrer);
    void ChangerOrdre(Categorie categorie, Ordre ordre);
    // The order shown for a category.
    Ordre OrdreCourant(Categorie categorie) const;
    void Deselectionner();
    // Clears the alphabetical and by-extension trees and builds the four
    // alphabetical skeletons from the store's counts.
    void ConstruireAlphabetique();
    // One "Par Extension" node per extension found, in table order.
    void RemplirArbresExtension();

    // The filter as you type over the shown category's trees.
    FiltreArbres& Filtre() { return *filtre_; }
    // The category shown (Autre: none) and its tree in the order shown.
    Categorie CategorieAffichee() const { return categorieAffichee_; }
    ArbreCategorie* ArbreMontre() const;
    // Whether the trees are built from the store (after a pause or the end).
    bool ArbresPrets() const { return arbresPrets_; }
    // Builds a category's three trees again: the files a filtering kept
    // (the directory groups it found), or, without one, the whole store's
    // counts and its first `racines` directory groups.
    void ReconstruireCategorie(Categorie categorie, const Stockage::Filtre* filtre, int racines);

    // Whether by-directory nodes are still on their way (the running label's state).
    bool AffichageEnCours() const { return affichageEnCours_.load(); }
    // Whether a scan runs and is not paused (the home panel says so); wakes
    // the worker, which shows or hides the running label.
    void DefinirScanActif(bool actif);

    // Store worker: one "Par Répertoire" root node to add, its text the store's.
    void RepertoireClasse(Categorie categorie) override;
    // Any thread: no more record comes for this scan; the worker hands over
    // what is queued and returns. Sets FinDemandee and wakes the worker.
    void FinScan() override;
    // The tree worker of a new scan (a ThreadTreeView), started.
    std::unique_ptr<Travailleur> CreerTravailleur() override;

    // Any thread: queues one "Par Répertoire" root node; with no text, the
    // node shows the store's text for its group and keeps no copy.
    void Empiler(Categorie categorie, std::string texte = {});
    // Before the workers of a scan start: clears FinDemandee and the queue,
    // and drops what an earlier scan's worker may still have posted.
    void PreparerScan() override;
    // The tree worker's loop; returns when FinDemandee is set and the queue
    // is empty, or when the worker is stopped. It sleeps while there is
    // nothing to do: Empiler, FinScan and DefinirScanActif wake it.
    void Traiter(Travailleur& travailleur);
    // An expanded group node still holding its "..." placeholder: starts a
    // fill job, unless one for that node is already under way.
    void LancerRemplissage(CleArbre cle, Noeud* noeud);
    // Stops the unfinished fill jobs and forgets all of them.
    void SuspendreRemplissages();
    // Fill jobs kept: running ones, and finished ones whose children have
    // not reached their tree yet.
    size_t NombreRemplissages() const { return remplissages_.size(); }

    // Any thread: hands a fill job's children to the user-interface thread,
    // which replaces the node's children in one batch if the tree still
    // holds the node (same generation).
    void RemplacerEnfants(CleArbre cle, Noeud* noeud, quint64 generation, std::vector<EnfantNoeud> enfants);

    // Whether the end of the scan was asked (read-only: FinScan() sets it
    // and wakes the worker).
    const std::atomic<bool>& FinDemandee = finDemandee_;

    // At most this many records go into one batch posted to the
    // user-interface thread, and at most this many batches wait there.
    static constexpr size_t TailleLotMax = 5000;
    static constexpr int LotsEnVolMax = 4;
    // Batches posted by the worker and not yet applied.
    int LotsEnVol() const { return lotsEnVol_.load(); }

    // The drop-down of the orders, for the keyboard and screen readers.
    QComboBox* ChoixTrie() const { return choixTrie_; }

signals:
    // The user selected the file at a row of a group (a leaf, or the "..."
    // row standing first in its group).
    void FichierChoisi(const Groupe& groupe, int ligne);

private:
    struct Lot;

    void CreerComposants(QWidget* fenetre);
    void Relier();
    void ChangementSelection(ArbreCategorie* arbre, Noeud* noeud, Noeud* parentAttente);
    // Drops the fill jobs that are done with: their node filled, or gone and the job finished.
    void LibererTermines();

    // Shows the running label when the shown category's trees are by directory.
    void RafraichirEtiquette();
    void ConstruireLettres(Categorie categorie, const std::array<int32_t, Stockage::NombreLettres>& nombres);
    // Per extension row, the count shown; -1: no such group.
    template <typename Nombre>
    void ConstruireExtensions(Categorie categorie, Nombre&& nombre);
    void Publier(quint64 scan, std::vector<TAttente>& attentes);
    // Worker: frees the batches the user-interface thread has handed back.
    void LibererLotsRendus();
    void AppliquerLot(quint64 scan, const Lot& lot);
    void TerminerAffichage(quint64 scan);

    Option& option_;
    Stockage& stockage_;
    Extension& extension_;
    ListeImages imageListExt_;
    std::array<ArbreCategorie*, NombreArbres> arbres_{};
    Cadre* Bevel = nullptr;
    QComboBox* choixTrie_ = nullptr; // ComboBoxChoixTrie
    Etiquette* enCours_ = nullptr;   // LabelEnCourAffichage
    ActionsFichiers* actions_ = nullptr;
    FiltreArbres* filtre_ = nullptr;
    bool arbresPrets_ = false;
    std::vector<std::unique_ptr<ThreadPrevisualisation>> remplissages_;
    Categorie categorieAffichee_ = Categorie::Autre; // none

    // The records to hand over and the worker's reasons to wake, guarded by
    // Verrou; the worker sleeps on travail_.
    std::deque<TAttente> FileAttente;
    std::mutex Verrou;
    std::condition_variable_any travail_;
    std::atomic<bool> finDemandee_{false};
    std::atomic<quint64> numeroScan_{0};
    std::atomic<bool> scanActif_{false};
    // Whether by-directory nodes are still on their way: the running label's state.
    std::atomic<bool> affichageEnCours_{false};
    std::atomic<int> lotsEnVol_{0};
    std::mutex verrouLots_;
    std::condition_variable_any lotsAppliques_;
    // Batches applied, handed back to the worker, which frees them: its
    // thousands of texts were allocated there, and freeing them on the
    // user-interface thread would make it wait for the worker's allocator.
    std::vector<std::shared_ptr<Lot>> lotsRendus_; // guarded by verrouLots_
};
