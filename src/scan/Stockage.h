#pragma once

// The results of the current scan: every classified file once, grouped per
// category by directory, by first letter and by extension, and counted.
// Fed one directory at a time through a waiting list; announces each
// directory it files to its listener and the end of a scan's filing by a
// signal; read by the counters, the tree builders, the fill jobs and the
// file information.

#include "classification/NomFichier.h"
#include "scan/ArenaNoms.h"
#include "scan/Explorateur.h"
#include "shared/Categorie.h"
#include "shared/FileAttente.h"
#include "shared/EnfantNoeud.h"
#include "shared/Groupe.h"

#include <QObject>
#include <QString>

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

class EcouteStockage;
class Extension;
class Travailleur;

class Stockage : public QObject
{
    Q_OBJECT
public:
    static constexpr int NombreLettres = NomFichier::NombreLettres;

    Stockage();
    ~Stockage() override;

    void Lier(Explorateur* explorateur) { explorateur_ = explorateur; }
    void Lier(Extension* extension) { extension_ = extension; }
    void Lier(EcouteStockage* ecoute) { ecoute_ = ecoute; }

    // --- filing (scan and store workers) ---
    // User-interface thread, before the workers of a new scan exist.
    void Reinitialiser();
    void DefinirRacine(int32_t longueur);
    void MarquerFinParcours();
    void EmpilerRepertoire(const std::string& chemin, const std::vector<std::string>& fichiers);
    // The file names one after another, each ended by a NUL (as
    // Explorateur lists them), with the sizes of those EstClasse picks, in
    // order, when the listing read them; without them the store worker
    // reads the classified files' sizes itself.
    void EmpilerNoms(const std::string& chemin, std::string fichiers, std::vector<int64_t> tailles = {});
    // Any thread during a scan: whether a file of that name is filed (its
    // extension is in the table), so that only those are stat'ed.
    bool EstClasse(std::string_view nom) const;
    // The walk: whether the store worker is behind by more than a few
    // directories (the walk then reads the sizes it would otherwise leave
    // to it).
    bool EnRetard() const { return enAttente_.load(std::memory_order_relaxed) > RetardMax; }
    // The store worker's loop. At the natural end it emits FinStockage().
    void BoucleStockage(Travailleur& travailleur);
    // Clears FinParcours and numbers a new scan; called before the workers
    // of a scan start.
    void PreparerScan();
    // The number of the scan being filed (user-interface thread).
    quint64 NumeroScan() const { return numeroScan_.load(); }

    // Display text of a directory below a root of the given length in
    // bytes: "~" for the root itself, "~/X/Y" below it.
    static std::string RepertoireAffiche(std::string_view chemin, int32_t longueurRacine);

    // --- reading for display ---
    int32_t Compteur(Categorie categorie) const;
    // Number of directory groups of a category (top-level nodes of its
    // "Par Répertoire" tree).
    int NombreRepertoires(Categorie categorie) const;
    // Files of a category per letter bucket (0 digits, 1 to 26, 27 others).
    std::array<int32_t, NombreLettres> NombresLettres(Categorie categorie) const;
    // Files of a category with the extension of that table row; -1 when the
    // category has no such group.
    int32_t NombreExtension(Categorie categorie, int indexTable) const;
    // Any thread: the sorted file children of a group, each with its size;
    // empty when there is no such group. Sorts the group in the store (by
    // name; the group of Ordre::Taille biggest first, equal sizes by name).
    std::vector<EnfantNoeud> EnfantsGroupe(const Groupe& groupe);
    // Sorts positions by lower-cased name bytes; stable.
    void TrierGroupe(std::vector<uint32_t>& groupe) const;
    // What the store tells of a file: its name (bytes, as on disk), its
    // extension (lower case) and its size in bytes.
    struct InfoFichier
    {
        std::string Nom;
        std::string Ext;
        int64_t Octets = 0;
        bool TailleLue = true; // false: its size could not be read during the walk (Octets is 0)
    };
    // Any thread: the full path (bytes, as on disk) of the file at a row of
    // a group, with its name, extension and the size read during the walk.
    // Empty path, and info empty, when no entry matches.
    std::string InformationFichier(const Groupe& groupe, int ligne, InfoFichier& info);
    // Any thread: the full path (bytes) of the file at a row of a group,
    // read from the store alone; empty when no entry matches.
    std::string CheminFichier(const Groupe& groupe, int ligne) const;
    // Any thread: the full paths of a group's files, in the order its node
    // shows them (sorts the group in the store); empty when there is no
    // such group.
    std::vector<std::string> CheminsGroupe(const Groupe& groupe);
    // The same with each file's size read during the walk (-1: it could
    // not be read), one per path: what the export writes.
    std::vector<std::string> CheminsGroupe(const Groupe& groupe, std::vector<int64_t>& tailles);

    // --- sizes, read while the walk runs (each classified file's size as
    // stat gives it, a link giving the size of the file it opens; a size
    // that cannot be read counts 0 and the file is marked) ---
    // Any thread: the total size in bytes of the category's files filed so
    // far, live like Compteur.
    int64_t Octets(Categorie categorie) const;
    // Any thread: how many of the category's files have a size that could
    // not be read.
    int32_t TaillesIlisibles(Categorie categorie) const;
    // Any thread: the total size of a group's files as its node reads them
    // (its kept files while a filter is applied); 0 when there is no such
    // group. The group of Ordre::Taille is a whole category, biggest first.
    int64_t OctetsGroupe(const Groupe& groupe) const;
    // Any thread: the number of files a group's node reads (its kept files
    // while a filter is applied); 0 when there is no such group.
    int32_t NombreFichiers(const Groupe& groupe) const;
    // Any thread: rows [debut, debut + nombre) of a group's sorted children
    // (EnfantsGroupe gives them all), for a list too long to make at once.
    std::vector<EnfantNoeud> EnfantsGroupe(const Groupe& groupe, size_t debut, size_t nombre);

    // --- the filter: the files of one category whose folded name contains a text ---
    // What a filtering found in a category: one bit per stored file (set:
    // kept), the kept files per letter bucket, per extension row (-1: no
    // such group) and per directory group (only groups with a kept file,
    // with their node texts).
    struct Filtre
    {
        Categorie Cat = Categorie::Autre;
        std::vector<uint64_t> Bits;
        std::array<int32_t, NombreLettres> Lettres{};
        std::vector<int32_t> Extensions;
        std::vector<int32_t> Repertoires;
        std::vector<QString> TextesRepertoires; // shown as they are: made off the window's thread
        int64_t Nombre = 0;                     // files kept
        // The kept files' total sizes, likewise per letter bucket, per
        // extension row and per directory group, and in all.
        std::array<int64_t, NombreLettres> OctetsLettres{};
        std::vector<int64_t> OctetsExtensions;
        std::vector<int64_t> OctetsRepertoires;
        int64_t Octets = 0;
    };
    // Any thread: the files of the category whose name, folded as
    // NomFichier::AjouterReplie folds it, contains `replie` (folded by the
    // caller); directory groups from repertoiresMax on are left out. Gives
    // up, returning false, as soon as `abandon` says so (asked every few
    // thousand files). With `parmi` (the bits of an earlier filtering of
    // the category for a text that `replie` contains), only the files it
    // kept, and those filed since, are looked at.
    template <typename Abandon>
    bool Filtrer(Categorie categorie, std::string_view replie, int32_t repertoiresMax, Abandon&& abandon,
                 Filtre& sortie, const std::vector<uint64_t>* parmi = nullptr) const
    {
        return FiltrerAvec(
            categorie, replie, repertoiresMax, &abandon, [](void* a) { return (*static_cast<Abandon*>(a))(); }, sortie,
            parmi);
    }
    // User-interface thread: from now on a group of that category reads as
    // its kept files alone (children, rows, paths); the bits are taken.
    void AppliquerFiltre(Categorie categorie, std::vector<uint64_t> bits);
    // The groups read whole again.
    void RetirerFiltre();
    // Any thread: the node text of one directory group of a category,
    // unfiltered, e.g. «(12) ~/Photos»; empty when there is no such group.
    std::string TexteRepertoire(Categorie categorie, int32_t groupe) const;

signals:
    // Store worker: the walk of scan number `scan` has ended and every
    // queued directory is filed, after the last RepertoireClasse. The one
    // end-of-scan notice; its subscriber is GestionScan, which takes it on
    // the store worker and hands it to the user-interface thread, where a
    // newer scan may have started by then (compared with NumeroScan()).
    void FinStockage(quint64 scan);

private:
    enum class Genre { Repertoire, Lettre, Extension, Taille };
    // One group or bucket of one category.
    struct RefGroupe
    {
        size_t SlotCategorie = 0; // 0 to 3
        Genre Type = Genre::Repertoire;
        size_t Index = 0;
    };
    // The groups keep no positions: a group's files are found from what
    // the store keeps per file (its directory by its position, its
    // extension row, its letter). A group once sorted keeps its order: the
    // positions below Limite in that order, the later ones in filing order.
    struct Tri
    {
        std::vector<uint32_t> Positions;
        uint32_t Limite = 0;
    };
    struct GroupeRepertoire
    {
        uint32_t Dossier; // index in debutsDossiers_
        uint32_t Fin;     // files of the category in this group and the ones before
        // No total size: one directory's files are a few consecutive
        // positions, summed when asked (8 bytes a group saved).
    };
    struct GroupeExtension
    {
        uint8_t IndexTable = 0; // the extension's row in the extension table
        uint32_t Nombre = 0;
        int64_t Octets = 0;
    };
    struct DonneesCategorie
    {
        // One group per directory holding files of the category, in filing order.
        std::deque<GroupeRepertoire> ParRepertoire;
        std::array<uint32_t, NombreLettres> ParLettre{}; // files per letter bucket
        std::array<int64_t, NombreLettres> OctetsLettres{};
        std::vector<GroupeExtension> ParExtension;
        std::map<std::pair<Genre, size_t>, Tri> Tris;
    };
    // A stored file is its name's offset in the arena (entrees_), its
    // extension row (extensions_), its letter bucket (lettres_) and its
    // size (taillesBas_, taillesHaut_): 11 bytes. Its modification time,
    // which the walk's stat gives too, is not kept: 4 more bytes a file
    // would take the store past its budget of 62 bytes a file.
    // A directory's files take consecutive positions, so its record is
    // found from the position.
    struct DebutDossier
    {
        uint32_t Position; // its first file
        uint32_t Dossier;
    };
    // One directory record: the bytes its path adds to its parent record's
    // path (both in the name arena), so that a path costs one record per
    // directory holding stored files instead of a copy of the whole path.
    struct Dossier
    {
        uint32_t Parent; // AucunDossier for a path written whole
        uint32_t Morceau;
    };
    static constexpr uint32_t AucunDossier = UINT32_MAX;
    // A name of a queued directory, classified before the data lock is taken.
    struct Classement
    {
        std::string_view Nom;
        uint8_t IndexTable;
        uint8_t Lettre;
        int64_t Octets; // TailleIlisible: could not be read
    };
    static constexpr int64_t TailleIlisible = Explorateur::Etat::Illisible;

    // A directory queued: its path and its file names, each ended by a NUL.
    struct EnAttente
    {
        std::string Chemin;
        std::string Noms;
        std::vector<int64_t> Tailles;
    };

    void ClasserRepertoire(const EnAttente& attente);
    // Store worker, no lock held: the sizes of the classified names of a
    // directory, read relative to it.
    static void LireTailles(const std::string& chemin, std::vector<Classement>& classements);
    // Lock held (shared at least): a stored file's size, TailleIlisible
    // when it could not be read.
    int64_t TailleEntree(uint32_t position) const;
    void AjouterTaille(int64_t octets);
    // Exclusive lock held: the record of a directory's path, made from the
    // nearest directory filed before it whose path is a prefix of it;
    // AucunDossier when it cannot be kept.
    uint32_t EnregistrerDossier(const std::string& chemin);
    // Lock held (shared at least): the path of a directory record, bytes as given.
    void CheminDossier(uint32_t dossier, std::string& chemin) const;
    std::string CheminEntree(uint32_t position) const;
    uint32_t DossierDe(uint32_t position) const;
    void PublierRepertoire(const std::array<int32_t, NombreCategories>& nombres);

    // Lock held by the caller (shared at least).
    bool GroupeValide(const RefGroupe& ref) const;
    size_t TailleGroupe(const RefGroupe& ref) const;
    uint32_t ElementGroupe(const RefGroupe& ref, size_t index) const;
    std::vector<uint32_t> CopierGroupe(const RefGroupe& ref) const;
    // Keeps a group's order for its files below the position limite.
    void EcrireGroupe(const RefGroupe& ref, std::vector<uint32_t> positions, uint32_t limite);
    // Calls f(position) for the group's files in its order until f gives false.
    template <typename F>
    void Parcourir(const RefGroupe& ref, F&& f) const;
    // Whether each extension row (a stored file's byte) is of the category.
    std::array<bool, 256> LignesDeCategorie(Categorie categorie) const;
    bool GroupeExtensionDe(size_t slot, int indexTable, size_t& index) const;
    void CalculerCles(const std::vector<uint32_t>& positions, std::string& cles, std::vector<uint32_t>& debuts) const;

    bool FiltrerAvec(Categorie categorie, std::string_view replie, int32_t repertoiresMax, void* abandon,
                     bool (*demander)(void*), Filtre& sortie, const std::vector<uint64_t>* parmi) const;
    // Lock held by the caller: whether a file of a category's group is kept
    // by the filter, and the position of a group's row among the kept files.
    bool Retenu(size_t slot, uint32_t position) const
    {
        if (static_cast<int>(slot) != filtreSlot_)
            return true;
        return position / 64 < filtreBits_.size() && (filtreBits_[position / 64] >> (position % 64) & 1u) != 0;
    }
    bool PositionLigne(const RefGroupe& ref, int ligne, uint32_t& position) const;
    std::string TexteRepertoire(size_t slot, size_t groupe, int64_t nombre) const;

    std::vector<std::string> CheminsGroupe(const Groupe& groupe, std::vector<int64_t>* tailles);
    // Where a group of a tree is kept; false when there is no such group.
    bool Reference(const Groupe& groupe, RefGroupe& ref) const;
    // Sorts a group in the store and gives its new order, with the data
    // generation it belongs to.
    std::vector<uint32_t> TrierDansStockage(const RefGroupe& ref, uint64_t& generation);
    // The group's positions in its shown order, as TrierDansStockage gives
    // them; none for a group that does not exist (generation left as it is).
    std::vector<uint32_t> PositionsTriees(const Groupe& groupe, RefGroupe& ref, uint64_t& generation);

    Explorateur* explorateur_ = nullptr;
    Extension* extension_ = nullptr;
    EcouteStockage* ecoute_ = nullptr;

    // Waiting list; the store worker sleeps on it while it is empty and the
    // walk has not ended.
    FileAttente<EnAttente> Attente;
    std::atomic<bool> FinParcours{false};
    // Directories queued and not yet taken by the store worker.
    std::atomic<int32_t> enAttente_{0};
    static constexpr int32_t RetardMax = 16;
    std::atomic<quint64> numeroScan_{0};
    std::atomic<int32_t> LongueurRacine{0};

    // The results: written by the store worker under an exclusive lock,
    // read under a shared one.
    mutable std::shared_mutex donnees_;
    // Also held by the store worker, inside donnees_, for its short writes
    // to what a directory group's text is made of (the directory records,
    // the directory groups): TexteRepertoire takes it alone, so that the
    // window's thread never waits for the filing of a whole directory.
    mutable std::mutex repertoires_;
    ArenaNoms noms_;
    std::deque<uint32_t> entrees_;
    std::deque<DebutDossier> debutsDossiers_;
    std::deque<uint8_t> extensions_;
    std::deque<uint8_t> lettres_; // each file's letter bucket
    std::deque<Dossier> dossiers_;
    // The store worker's way down (under the exclusive lock): the last path
    // recorded, and the records of its prefixes that are directories filed,
    // with their lengths.
    std::string dernierDossier_;
    std::vector<std::pair<size_t, uint32_t>> ascendants_;
    std::array<DonneesCategorie, NombreCategories> categories_;
    // Grows with every change of order written back and every emptying.
    uint64_t versionOrdre_ = 0;
    // Grows with every emptying: positions taken before it mean nothing after.
    uint64_t generationDonnees_ = 0;
    std::array<std::atomic<int32_t>, NombreCategories> compteurs_{};
    // The filter applied: the category's slot (-1: none) and one bit per entry.
    int filtreSlot_ = -1;
    std::vector<uint64_t> filtreBits_;

    // Each stored file's size in 5 bytes: the low 32 bits and the next 8.
    // The rare size that does not fit, and a size that could not be read,
    // are kept aside (the 5 bytes all set).
    std::deque<uint32_t> taillesBas_;
    std::deque<uint8_t> taillesHaut_;
    std::unordered_map<uint32_t, int64_t> taillesAPart_;
    std::array<std::atomic<int64_t>, NombreCategories> octets_{};
    std::array<std::atomic<int32_t>, NombreCategories> illisibles_{};

    // Store worker only.
    std::vector<Classement> classements_;
};
