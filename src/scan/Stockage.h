#pragma once

// The results of the current scan: every classified file once, grouped per
// category by directory, by first letter and by extension, and counted.
// Fed one directory at a time through a waiting list; read for display by
// the counters, the tree builders, the fill jobs and the file information.

#include "classification/NomFichier.h"
#include "scan/ArenaNoms.h"
#include "shared/Semaphore.h"
#include "shared/TAttente.h"
#include "trees/EnfantNoeud.h"
#include "trees/PlaceNoeud.h"

#include <QString>

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class Explorateur;
class Extension;
class GestionBouton;
class GestionTreeView;
class Noeud;
class Travailleur;

class Stockage
{
public:
    static constexpr int NombreCategories = 4;

    Stockage();
    ~Stockage();

    void Lier(Explorateur* explorateur) { explorateur_ = explorateur; }
    void Lier(Extension* extension) { extension_ = extension; }
    void Lier(GestionBouton* bouton) { bouton_ = bouton; }
    void Lier(GestionTreeView* arbres) { arbres_ = arbres; }

    // --- filing (scan and store workers) ---
    // User-interface thread, before the workers of a new scan exist.
    void Reinitialiser();
    void DefinirRacine(int32_t longueur);
    void MarquerFinParcours();
    void EmpilerRepertoire(const std::string& chemin, std::vector<std::string> fichiers);
    // The store worker's loop. At the natural end it sets the tree manager's
    // FinDemandee and has ArreterScan(0) run on the user-interface thread.
    void BoucleStockage(Travailleur& travailleur);
    // Clears FinParcours; called before the workers of a scan start.
    void PreparerScan();

    static std::string FormaterNombre(int64_t nombre);
    // Display text of a directory below a root of the given length in
    // bytes: "~" for the root itself, "~/X/Y" below it.
    static std::string RepertoireAffiche(std::string_view chemin, int32_t longueurRacine);

    // --- reading for display ---
    int32_t Compteur(int categorie) const;
    // Number of directory groups of a category (top-level nodes of its
    // "Par Répertoire" tree).
    int NombreRepertoires(int categorie) const;
    // User-interface thread: the five count labels.
    void AfficherCompteurs();
    // User-interface thread: clears the alphabetical and by-extension trees
    // and builds the four alphabetical skeletons.
    void ConstruireAlphabetique();
    // User-interface thread: the by-extension node of one extension.
    void AjouterNoeudsExtension(int categorie, const std::string& ext);
    // Any thread: the sorted file children of a group node; empty when the
    // node matches no group. Sorts the group in the store.
    std::vector<EnfantNoeud> EnfantsNoeud(int categorie, int ordre, const PlaceNoeud& place);
    // Worker side of a fill: computes the children and hands them to the
    // tree manager, which applies them on the user-interface thread.
    void RemplirNoeud(int categorie, int ordre, Noeud* noeud, const PlaceNoeud& place, quint64 generation);
    // Sorts positions by lower-cased name bytes; stable.
    void TrierGroupe(std::vector<uint32_t>& groupe) const;
    // The selected file's full path (bytes, as on disk), with its display
    // name, extension and size text. Empty path when no entry matches.
    std::string InformationFichier(int categorie, int ordre, const PlaceNoeud& place, QString& nom,
                                   QString& ext, QString& taille);

private:
    static constexpr int NombreLettres = NomFichier::NombreLettres;

    enum class Genre { Repertoire, Lettre, Extension };
    // One group or bucket of one category.
    struct RefGroupe
    {
        int Categorie = 0;   // 0-based slot
        Genre Type = Genre::Repertoire;
        size_t Index = 0;
    };
    struct GroupeExtension
    {
        uint8_t IndexTable = 0;   // the extension's row in the extension table
        std::deque<uint32_t> Positions;
    };
    struct DonneesCategorie
    {
        // The directory groups one after another; FinsRepertoire[g] is the
        // end of group g (a directory's files are filed together).
        std::deque<uint32_t> ParRepertoire;
        std::vector<uint32_t> FinsRepertoire;
        std::array<std::deque<uint32_t>, NombreLettres> ParLettre;
        std::vector<GroupeExtension> ParExtension;
    };
    // One stored file: its name in the arena and its directory record; the
    // extension row is kept apart so that an entry takes 9 bytes.
    struct Entree
    {
        uint32_t Nom;
        uint32_t Repertoire;
    };
    // A name of a queued directory, classified before the data lock is taken.
    struct Classement
    {
        uint32_t IndexNom;
        uint8_t IndexTable;
        uint8_t Lettre;
    };

    void ClasserRepertoire(TAttente& attente);
    void PublierRepertoire(const std::array<int32_t, NombreCategories>& nombres, const std::string& affiche);

    // Lock held by the caller (shared at least).
    bool GroupeValide(const RefGroupe& ref) const;
    size_t TailleGroupe(const RefGroupe& ref) const;
    uint32_t ElementGroupe(const RefGroupe& ref, size_t index) const;
    std::vector<uint32_t> CopierGroupe(const RefGroupe& ref) const;
    void EcrireGroupe(const RefGroupe& ref, const std::vector<uint32_t>& positions);
    bool GroupeExtensionDe(int slot, std::string_view ext, size_t& index) const;
    void CalculerCles(const std::vector<uint32_t>& positions, std::string& cles,
                      std::vector<uint32_t>& debuts) const;

    // The group of a node being filled, and the group holding a selected file.
    bool GroupeDuNoeud(int categorie, int ordre, const PlaceNoeud& place, RefGroupe& ref) const;
    bool GroupeDuParent(int categorie, int ordre, const PlaceNoeud& place, RefGroupe& ref) const;
    // Sorts a group in the store and gives its new order, with the data
    // generation it belongs to.
    std::vector<uint32_t> TrierDansStockage(const RefGroupe& ref, uint64_t& generation);

    Explorateur* explorateur_ = nullptr;
    Extension* extension_ = nullptr;
    GestionBouton* bouton_ = nullptr;
    GestionTreeView* arbres_ = nullptr;

    // Waiting list, guarded by Verrou.
    std::deque<TAttente> Attente;
    Semaphore Verrou;
    std::atomic<bool> FinParcours{false};
    std::atomic<int32_t> LongueurRacine{0};

    // The results: written by the store worker under an exclusive lock,
    // read under a shared one.
    mutable std::shared_mutex donnees_;
    ArenaNoms noms_;
    std::deque<Entree> entrees_;
    std::deque<uint8_t> extensions_;
    std::deque<std::string> repertoires_;
    std::array<DonneesCategorie, NombreCategories> categories_;
    // Grows with every change of order written back and every emptying.
    uint64_t versionOrdre_ = 0;
    // Grows with every emptying: positions taken before it mean nothing after.
    uint64_t generationDonnees_ = 0;
    std::array<std::atomic<int32_t>, NombreCategories> Compteurs_{};

    // Sizes read once, by position; 0 means not read.
    // Taken inside the data lock, never the other way round.
    std::mutex verrouTailles_;
    std::unordered_map<uint32_t, int64_t> tailles_;

    // Store worker only.
    std::vector<Classement> classements_;
};
