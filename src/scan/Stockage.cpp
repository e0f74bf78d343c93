#include "scan/Stockage.h"

#include "classification/Extension.h"
#include "scan/Descripteur.h"
#include "scan/EcouteStockage.h"
#include "scan/Explorateur.h"
#include "shared/Textes.h"
#include "shared/Travailleur.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <numeric>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

// Positions are 32-bit.
constexpr size_t MaxEntrees = std::numeric_limits<uint32_t>::max();

// Stable order of keys cles[debuts[i] .. debuts[i + 1]), biggest size
// first when sizes are given (one per key); change tells whether it differs
// from the order given.
std::vector<uint32_t> OrdreTrie(const std::string& cles, const std::vector<uint32_t>& debuts,
                                const std::vector<int64_t>& tailles, bool& change)
{
    const size_t n = debuts.empty() ? 0 : debuts.size() - 1;
    auto cle = [&](uint32_t i) { return std::string_view(cles.data() + debuts[i], debuts[i + 1] - debuts[i]); };
    auto avant = [&](uint32_t a, uint32_t b) {
        if (!tailles.empty() && tailles[a] != tailles[b])
            return tailles[a] > tailles[b];
        return cle(a) < cle(b);
    };
    std::vector<uint32_t> ordre(n);
    std::iota(ordre.begin(), ordre.end(), 0u);
    change = false;
    for (size_t i = 1; i < n && !change; ++i)
        change = avant(static_cast<uint32_t>(i), static_cast<uint32_t>(i - 1));
    if (change)
        std::stable_sort(ordre.begin(), ordre.end(), avant);
    return ordre;
}

// The 5 bytes of a size kept aside.
constexpr uint32_t APartBas = UINT32_MAX;
constexpr uint8_t APartHaut = UINT8_MAX;
constexpr int64_t MaxCinqOctets = (int64_t{APartHaut} << 32 | APartBas) - 1;

} // namespace

Stockage::Stockage() = default;
Stockage::~Stockage() = default;

// ---------------------------------------------------------------- filing

void Stockage::Reinitialiser()
{
    Attente.Vider();
    enAttente_.store(0);

    std::unique_lock verrou(donnees_);
    std::lock_guard verrouRepertoires(repertoires_);
    noms_.Vider();
    entrees_ = {};
    debutsDossiers_ = {};
    extensions_ = {};
    lettres_ = {};
    dossiers_ = {};
    dernierDossier_ = std::string();
    ascendants_ = {};
    for (DonneesCategorie& categorie : categories_)
        categorie = DonneesCategorie{};
    taillesBas_ = {};
    taillesHaut_ = {};
    taillesAPart_ = {};
    for (std::atomic<int32_t>& compteur : compteurs_)
        compteur.store(0);
    for (std::atomic<int64_t>& octets : octets_)
        octets.store(0);
    for (std::atomic<int32_t>& illisibles : illisibles_)
        illisibles.store(0);
    ++versionOrdre_;
    ++generationDonnees_;
    filtreSlot_ = -1;
    filtreBits_ = {};
}

void Stockage::DefinirRacine(int32_t longueur)
{
    LongueurRacine.store(longueur);
}

void Stockage::MarquerFinParcours()
{
    Attente.MarquerFin(FinParcours);
}

void Stockage::PreparerScan()
{
    FinParcours.store(false);
    ++numeroScan_;
}

void Stockage::EmpilerRepertoire(const std::string& chemin, const std::vector<std::string>& fichiers)
{
    std::string noms;
    for (const std::string& nom : fichiers)
        // A name holding a NUL is never filed; it cannot be told apart here.
        if (nom.find('\0') == std::string::npos)
            noms.append(nom.data(), nom.size() + 1);
    EmpilerNoms(chemin, std::move(noms));
}

void Stockage::EmpilerNoms(const std::string& chemin, std::string fichiers, std::vector<int64_t> tailles)
{
    enAttente_.fetch_add(1, std::memory_order_relaxed);
    Attente.Ajouter(EnAttente{chemin, std::move(fichiers), std::move(tailles)});
}

bool Stockage::EstClasse(std::string_view nom) const
{
    if (!extension_ || nom.size() > ArenaNoms::LongueurMax)
        return false;
    const std::string ext = NomFichier::ExtraireExtension(nom);
    for (const TExt& ligne : extension_->Table())
        if (ligne.Ext == ext)
            return true;
    return false;
}

void Stockage::BoucleStockage(Travailleur& travailleur)
{
    EnAttente attente;
    for (;;) {
        const auto prise = Attente.Prendre(travailleur, FinParcours, attente);
        if (prise == FileAttente<EnAttente>::Prise::Fin)
            break;
        // Filed without the list's lock: the walk can go on queueing. A
        // wait cut short by a pause or a stop takes effect at the check point.
        if (prise == FileAttente<EnAttente>::Prise::Element) {
            enAttente_.fetch_sub(1, std::memory_order_relaxed);
            ClasserRepertoire(attente);
        }
        if (!travailleur.PointDeControle())
            return;
    }

    emit FinStockage(numeroScan_.load());
}

void Stockage::ClasserRepertoire(const EnAttente& attente)
{
    if (!extension_)
        return;
    const std::vector<TExt>& table = extension_->Table();

    // Classify without the data lock: readers are held only for the appends.
    classements_.clear();
    // The names EstClasse picks are those filed here, in the same order.
    Explorateur::PourChaqueNom(attente.Noms, [&](std::string_view nom) {
        if (nom.size() > ArenaNoms::LongueurMax)
            return;
        const int ligne = extension_->IndexDe(NomFichier::ExtraireExtension(nom));
        if (ligne < 0)
            return; // not in the table: dropped
        const size_t rang = classements_.size();
        classements_.push_back({nom, static_cast<uint8_t>(ligne), static_cast<uint8_t>(NomFichier::Lettre(nom)),
                                rang < attente.Tailles.size() ? attente.Tailles[rang] : TailleIlisible});
    });
    if (classements_.empty())
        return;
    // Listed without a stat (by the walk itself): read here, behind the walk.
    if (attente.Tailles.size() != classements_.size())
        LireTailles(attente.Chemin, classements_);

    std::array<int32_t, NombreCategories> nombres{};
    std::array<int64_t, NombreCategories> octets{};
    std::array<int32_t, NombreCategories> illisibles{};
    {
        std::unique_lock verrou(donnees_);
        std::unique_lock verrouRepertoires(repertoires_);
        const uint32_t repertoire = EnregistrerDossier(attente.Chemin);
        if (repertoire == AucunDossier)
            return;
        const auto dossier = static_cast<uint32_t>(debutsDossiers_.size());
        debutsDossiers_.push_back({static_cast<uint32_t>(entrees_.size()), repertoire});
        verrouRepertoires.unlock();
        for (const Classement& classement : classements_) {
            if (entrees_.size() >= MaxEntrees)
                break;
            const uint32_t nom = noms_.Ajouter(classement.Nom);
            if (nom == ArenaNoms::Aucun)
                break;
            entrees_.push_back(nom);
            extensions_.push_back(classement.IndexTable);
            lettres_.push_back(classement.Lettre);
            AjouterTaille(classement.Octets);
            const int64_t taille = std::max<int64_t>(classement.Octets, 0);

            const size_t slot = Slot(table[classement.IndexTable].Cat);
            DonneesCategorie& categorie = categories_[slot];
            ++categorie.ParLettre[classement.Lettre];
            categorie.OctetsLettres[classement.Lettre] += taille;
            auto groupe = std::find_if(categorie.ParExtension.begin(), categorie.ParExtension.end(),
                                       [&](const GroupeExtension& g) { return g.IndexTable == classement.IndexTable; });
            if (groupe == categorie.ParExtension.end()) {
                categorie.ParExtension.push_back(GroupeExtension{classement.IndexTable, 0});
                groupe = std::prev(categorie.ParExtension.end());
            }
            ++groupe->Nombre;
            groupe->Octets += taille;
            ++nombres[slot];
            octets[slot] += taille;
            illisibles[slot] += classement.Octets == TailleIlisible ? 1 : 0;
        }
        verrouRepertoires.lock();
        for (size_t slot = 0; slot < NombreCategories; ++slot) {
            if (nombres[slot] == 0)
                continue;
            DonneesCategorie& categorie = categories_[slot];
            const uint32_t avant = categorie.ParRepertoire.empty() ? 0 : categorie.ParRepertoire.back().Fin;
            categorie.ParRepertoire.push_back({dossier, avant + static_cast<uint32_t>(nombres[slot])});
            // The sizes before the count: a reader that sees a count sees its sizes.
            octets_[slot].fetch_add(octets[slot]);
            illisibles_[slot].fetch_add(illisibles[slot]);
            compteurs_[slot].fetch_add(nombres[slot]);
        }
    }
    PublierRepertoire(nombres);
}

void Stockage::LireTailles(const std::string& chemin, std::vector<Classement>& classements)
{
    // The directory itself is not followed if it became a link since it was listed.
    const Descripteur dossier(Explorateur::OuvrirChemin(chemin, O_PATH | O_DIRECTORY | O_NOFOLLOW));
    if (!dossier.Valide())
        return;
    // The name is a view of NUL-ended names.
    for (Classement& classement : classements)
        classement.Octets = Explorateur::LireEtat(dossier.Fd(), classement.Nom.data()).Octets;
}

void Stockage::AjouterTaille(int64_t octets)
{
    if (octets >= 0 && octets <= MaxCinqOctets) {
        taillesBas_.push_back(static_cast<uint32_t>(octets));
        taillesHaut_.push_back(static_cast<uint8_t>(octets >> 32));
        return;
    }
    taillesAPart_.emplace(static_cast<uint32_t>(taillesBas_.size()), octets);
    taillesBas_.push_back(APartBas);
    taillesHaut_.push_back(APartHaut);
}

int64_t Stockage::TailleEntree(uint32_t position) const
{
    const uint32_t bas = taillesBas_[position];
    const uint8_t haut = taillesHaut_[position];
    if (bas != APartBas || haut != APartHaut)
        return int64_t{haut} << 32 | bas;
    const auto aPart = taillesAPart_.find(position);
    return aPart == taillesAPart_.end() ? TailleIlisible : aPart->second;
}

uint32_t Stockage::EnregistrerDossier(const std::string& chemin)
{
    // A path cannot hold a NUL; the arena ends its pieces with one.
    if (chemin.find('\0') != std::string::npos)
        return AucunDossier;
    // The walk is depth-first: the directories filed before this one that
    // are its ancestors are prefixes of the last path recorded.
    while (!ascendants_.empty()) {
        const size_t longueur = ascendants_.back().first;
        if (longueur < chemin.size() && chemin.compare(0, longueur, dernierDossier_, 0, longueur) == 0)
            break;
        ascendants_.pop_back();
    }
    uint32_t parent = ascendants_.empty() ? AucunDossier : ascendants_.back().second;
    size_t debut = ascendants_.empty() ? 0 : ascendants_.back().first;
    // Pieces of at most LongueurMax bytes, chained (at least one).
    do {
        const size_t longueur = std::min(chemin.size() - debut, ArenaNoms::LongueurMax);
        if (dossiers_.size() >= AucunDossier)
            return AucunDossier;
        const uint32_t morceau = noms_.Ajouter(std::string_view(chemin).substr(debut, longueur));
        if (morceau == ArenaNoms::Aucun)
            return AucunDossier;
        dossiers_.push_back({parent, morceau});
        parent = static_cast<uint32_t>(dossiers_.size() - 1);
        debut += longueur;
    } while (debut < chemin.size());
    ascendants_.emplace_back(chemin.size(), parent);
    dernierDossier_ = chemin;
    return parent;
}

void Stockage::CheminDossier(uint32_t dossier, std::string& chemin) const
{
    // Pieces from the record up to its first ancestor, then written in the
    // other order.
    std::string_view morceaux[64];
    size_t nombre = 0;
    size_t taille = 0;
    for (uint32_t d = dossier; d != AucunDossier; d = dossiers_[d].Parent) {
        if (nombre == std::size(morceaux)) {
            // Deeper than the small list: the rest first, then these.
            CheminDossier(d, chemin);
            break;
        }
        morceaux[nombre] = noms_.Nom(dossiers_[d].Morceau);
        taille += morceaux[nombre].size();
        ++nombre;
    }
    chemin.reserve(chemin.size() + taille);
    while (nombre > 0)
        chemin.append(morceaux[--nombre]);
}

uint32_t Stockage::DossierDe(uint32_t position) const
{
    // The last directory whose first file is at or before the position.
    const auto apres = std::upper_bound(debutsDossiers_.begin(), debutsDossiers_.end(), position,
                                        [](uint32_t p, const DebutDossier& d) { return p < d.Position; });
    return std::prev(apres)->Dossier;
}

std::string Stockage::CheminEntree(uint32_t position) const
{
    std::string repertoire;
    CheminDossier(DossierDe(position), repertoire);
    return Explorateur::Joindre(repertoire, noms_.Nom(entrees_[position]));
}

void Stockage::PublierRepertoire(const std::array<int32_t, NombreCategories>& nombres)
{
    if (!ecoute_)
        return;
    for (size_t slot = 0; slot < NombreCategories; ++slot)
        if (nombres[slot] > 0)
            ecoute_->RepertoireClasse(Categories[slot]);
}

std::string Stockage::RepertoireAffiche(std::string_view chemin, int32_t longueurRacine)
{
    // Skip the separator that follows a root given without a trailing "/".
    const auto longueur = static_cast<size_t>(std::max(longueurRacine, 0));
    const bool separateurFinal = longueur >= 1 && longueur <= chemin.size() && chemin[longueur - 1] == '/';
    const size_t debut = separateurFinal ? longueur : longueur + 1;
    if (debut >= chemin.size())
        return "~";
    std::string texte = "~/";
    texte.append(chemin.substr(debut));
    return texte;
}

// ---------------------------------------------------------------- groups

bool Stockage::GroupeValide(const RefGroupe& ref) const
{
    const DonneesCategorie& categorie = categories_[ref.SlotCategorie];
    switch (ref.Type) {
    case Genre::Repertoire:
        return ref.Index < categorie.ParRepertoire.size();
    case Genre::Lettre:
        return ref.Index < categorie.ParLettre.size();
    case Genre::Extension:
        return ref.Index < categorie.ParExtension.size();
    case Genre::Taille:
        return ref.Index == 0;
    }
    return false;
}

size_t Stockage::TailleGroupe(const RefGroupe& ref) const
{
    const DonneesCategorie& categorie = categories_[ref.SlotCategorie];
    switch (ref.Type) {
    case Genre::Repertoire: {
        const uint32_t debut = ref.Index == 0 ? 0 : categorie.ParRepertoire[ref.Index - 1].Fin;
        return categorie.ParRepertoire[ref.Index].Fin - debut;
    }
    case Genre::Lettre:
        return categorie.ParLettre[ref.Index];
    case Genre::Extension:
        return categorie.ParExtension[ref.Index].Nombre;
    case Genre::Taille:
        return categorie.ParRepertoire.empty() ? 0 : categorie.ParRepertoire.back().Fin;
    }
    return 0;
}

template <typename F>
void Stockage::Parcourir(const RefGroupe& ref, F&& f) const
{
    const DonneesCategorie& categorie = categories_[ref.SlotCategorie];
    size_t debut = 0;
    size_t fin = entrees_.size();
    if (const auto tri = categorie.Tris.find({ref.Type, ref.Index}); tri != categorie.Tris.end()) {
        for (uint32_t position : tri->second.Positions)
            if (!f(position))
                return;
        debut = tri->second.Limite;
    }
    if (!extension_)
        return;
    // Every extension row of a stored file is in the table.
    const std::vector<TExt>& table = extension_->Table();
    const Categorie cat = Categories[ref.SlotCategorie];
    switch (ref.Type) {
    case Genre::Repertoire: {
        // The directory's files are the positions from its first to the next directory's first.
        const uint32_t dossier = categorie.ParRepertoire[ref.Index].Dossier;
        debut = std::max<size_t>(debut, debutsDossiers_[dossier].Position);
        if (dossier + 1 < debutsDossiers_.size())
            fin = debutsDossiers_[dossier + 1].Position;
        for (size_t p = debut; p < fin; ++p)
            if (table[extensions_[p]].Cat == cat && !f(static_cast<uint32_t>(p)))
                return;
        break;
    }
    case Genre::Lettre: {
        const std::array<bool, 256> deLaCategorie = LignesDeCategorie(cat);
        for (size_t p = debut; p < fin; ++p)
            if (lettres_[p] == ref.Index && deLaCategorie[extensions_[p]] && !f(static_cast<uint32_t>(p)))
                return;
        break;
    }
    case Genre::Extension: {
        const uint8_t ligne = categorie.ParExtension[ref.Index].IndexTable;
        for (size_t p = debut; p < fin; ++p)
            if (extensions_[p] == ligne && !f(static_cast<uint32_t>(p)))
                return;
        break;
    }
    case Genre::Taille: {
        const std::array<bool, 256> deLaCategorie = LignesDeCategorie(cat);
        for (size_t p = debut; p < fin; ++p)
            if (deLaCategorie[extensions_[p]] && !f(static_cast<uint32_t>(p)))
                return;
        break;
    }
    }
}

std::array<bool, 256> Stockage::LignesDeCategorie(Categorie categorie) const
{
    std::array<bool, 256> lignes{};
    const size_t n = extension_ ? std::min(extension_->Table().size(), lignes.size()) : 0;
    for (size_t ligne = 0; ligne < n; ++ligne)
        lignes[ligne] = extension_->Table()[ligne].Cat == categorie;
    return lignes;
}

uint32_t Stockage::ElementGroupe(const RefGroupe& ref, size_t index) const
{
    // A sorted group's first files are where its sort put them.
    const DonneesCategorie& categorie = categories_[ref.SlotCategorie];
    if (const auto tri = categorie.Tris.find({ref.Type, ref.Index});
        tri != categorie.Tris.end() && index < tri->second.Positions.size())
        return tri->second.Positions[index];
    uint32_t element = 0;
    size_t rang = 0;
    Parcourir(ref, [&](uint32_t position) {
        element = position;
        return rang++ < index;
    });
    return element;
}

std::vector<uint32_t> Stockage::CopierGroupe(const RefGroupe& ref) const
{
    std::vector<uint32_t> positions;
    positions.reserve(TailleGroupe(ref));
    Parcourir(ref, [&](uint32_t position) {
        positions.push_back(position);
        return true;
    });
    return positions;
}

void Stockage::EcrireGroupe(const RefGroupe& ref, std::vector<uint32_t> positions, uint32_t limite)
{
    Tri& tri = categories_[ref.SlotCategorie].Tris[{ref.Type, ref.Index}];
    tri.Positions = std::move(positions);
    tri.Limite = limite;
}

bool Stockage::GroupeExtensionDe(size_t slot, int indexTable, size_t& index) const
{
    const std::vector<GroupeExtension>& groupes = categories_[slot].ParExtension;
    for (size_t i = 0; i < groupes.size(); ++i) {
        if (groupes[i].IndexTable == indexTable) {
            index = i;
            return true;
        }
    }
    return false;
}

void Stockage::CalculerCles(const std::vector<uint32_t>& positions, std::string& cles,
                            std::vector<uint32_t>& debuts) const
{
    cles.clear();
    debuts.clear();
    debuts.reserve(positions.size() + 1);
    for (uint32_t position : positions) {
        debuts.push_back(static_cast<uint32_t>(cles.size()));
        if (position < entrees_.size())
            NomFichier::AjouterMinuscules(noms_.Nom(entrees_[position]), cles);
    }
    debuts.push_back(static_cast<uint32_t>(cles.size()));
}

bool Stockage::Reference(const Groupe& groupe, RefGroupe& ref) const
{
    if (!CategorieValide(groupe.Arbre.Cat) || groupe.Index < 0)
        return false;
    ref.SlotCategorie = Slot(groupe.Arbre.Cat);
    ref.Index = static_cast<size_t>(groupe.Index);
    switch (groupe.Arbre.Ord) {
    case Ordre::Repertoire:
        ref.Type = Genre::Repertoire;
        break;
    case Ordre::Alphabetique:
        ref.Type = Genre::Lettre;
        break;
    case Ordre::Extension:
        ref.Type = Genre::Extension;
        if (!GroupeExtensionDe(Slot(groupe.Arbre.Cat), groupe.Index, ref.Index))
            return false;
        break;
    case Ordre::Taille:
        ref.Type = Genre::Taille;
        break;
    default:
        return false;
    }
    return GroupeValide(ref);
}

// ---------------------------------------------------------------- sorting

void Stockage::TrierGroupe(std::vector<uint32_t>& groupe) const
{
    std::string cles;
    std::vector<uint32_t> debuts;
    {
        std::shared_lock verrou(donnees_);
        CalculerCles(groupe, cles, debuts);
    }
    bool change = false;
    const std::vector<uint32_t> ordre = OrdreTrie(cles, debuts, {}, change);
    if (!change)
        return;
    std::vector<uint32_t> triees(groupe.size());
    for (size_t i = 0; i < ordre.size(); ++i)
        triees[i] = groupe[ordre[i]];
    groupe = std::move(triees);
}

std::vector<uint32_t> Stockage::PositionsTriees(const Groupe& groupe, RefGroupe& ref, uint64_t& generation)
{
    {
        std::shared_lock verrou(donnees_);
        if (!Reference(groupe, ref))
            return {};
    }
    return TrierDansStockage(ref, generation);
}

std::vector<uint32_t> Stockage::TrierDansStockage(const RefGroupe& ref, uint64_t& generation)
{
    // Copy and keys under the shared lock, sort outside, write back under
    // the exclusive lock unless another sort or an emptying came between.
    for (;;) {
        std::vector<uint32_t> positions;
        std::string cles;
        std::vector<uint32_t> debuts;
        std::vector<int64_t> tailles;
        uint64_t version = 0;
        uint32_t limite = 0;
        {
            std::shared_lock verrou(donnees_);
            if (!GroupeValide(ref))
                return {};
            generation = generationDonnees_;
            // Sorted already and nothing filed since: as it is.
            const DonneesCategorie& categorie = categories_[ref.SlotCategorie];
            if (const auto tri = categorie.Tris.find({ref.Type, ref.Index});
                tri != categorie.Tris.end() && tri->second.Limite == entrees_.size())
                return tri->second.Positions;
            positions = CopierGroupe(ref);
            limite = static_cast<uint32_t>(entrees_.size());
            CalculerCles(positions, cles, debuts);
            if (ref.Type == Genre::Taille) {
                tailles.reserve(positions.size());
                for (uint32_t position : positions)
                    tailles.push_back(TailleEntree(position));
            }
            version = versionOrdre_;
        }
        bool change = false;
        const std::vector<uint32_t> ordre = OrdreTrie(cles, debuts, tailles, change);
        if (!change)
            return positions;
        std::vector<uint32_t> triees(positions.size());
        for (size_t i = 0; i < ordre.size(); ++i)
            triees[i] = positions[ordre[i]];
        std::unique_lock verrou(donnees_);
        // Groups only grow while filing goes on, so the first positions are
        // still the ones sorted unless the version moved.
        if (versionOrdre_ == version) {
            EcrireGroupe(ref, triees, limite);
            ++versionOrdre_;
            return triees;
        }
    }
}

// ---------------------------------------------------------------- views

int32_t Stockage::Compteur(Categorie categorie) const
{
    return CategorieValide(categorie) ? compteurs_[Slot(categorie)].load() : 0;
}

int Stockage::NombreRepertoires(Categorie categorie) const
{
    if (!CategorieValide(categorie))
        return 0;
    std::shared_lock verrou(donnees_);
    return static_cast<int>(categories_[Slot(categorie)].ParRepertoire.size());
}

std::array<int32_t, Stockage::NombreLettres> Stockage::NombresLettres(Categorie categorie) const
{
    std::array<int32_t, NombreLettres> nombres{};
    if (!CategorieValide(categorie))
        return nombres;
    std::shared_lock verrou(donnees_);
    for (size_t lettre = 0; lettre < NombreLettres; ++lettre)
        nombres[lettre] = static_cast<int32_t>(categories_[Slot(categorie)].ParLettre[lettre]);
    return nombres;
}

int32_t Stockage::NombreExtension(Categorie categorie, int indexTable) const
{
    if (!CategorieValide(categorie))
        return -1;
    std::shared_lock verrou(donnees_);
    size_t index = 0;
    if (!GroupeExtensionDe(Slot(categorie), indexTable, index))
        return -1;
    return static_cast<int32_t>(categories_[Slot(categorie)].ParExtension[index].Nombre);
}

std::vector<EnfantNoeud> Stockage::EnfantsGroupe(const Groupe& groupe)
{
    return EnfantsGroupe(groupe, 0, std::numeric_limits<size_t>::max());
}

std::vector<EnfantNoeud> Stockage::EnfantsGroupe(const Groupe& groupe, size_t debut, size_t nombre)
{
    RefGroupe ref;
    uint64_t generation = 0;
    const std::vector<uint32_t> positions = PositionsTriees(groupe, ref, generation);

    std::vector<EnfantNoeud> enfants;
    enfants.reserve(std::min(positions.size() - std::min(debut, positions.size()), nombre));
    std::shared_lock verrou(donnees_);
    if (generation != generationDonnees_ || !extension_)
        return {};
    const std::vector<TExt>& table = extension_->Table();
    size_t rang = 0;
    for (uint32_t position : positions) {
        if (enfants.size() >= nombre)
            break;
        if (!Retenu(ref.SlotCategorie, position) || rang++ < debut)
            continue;
        const int64_t octets = TailleEntree(position);
        enfants.push_back(EnfantNoeud{NomFichier::Texte(noms_.Nom(entrees_[position])),
                                      table[extensions_[position]].Icone, octets == TailleIlisible ? -1 : octets});
    }
    return enfants;
}

std::string Stockage::CheminFichier(const Groupe& groupe, int ligne) const
{
    std::shared_lock verrou(donnees_);
    RefGroupe ref;
    uint32_t position = 0;
    if (!Reference(groupe, ref) || !PositionLigne(ref, ligne, position))
        return {};
    return CheminEntree(position);
}

std::vector<std::string> Stockage::CheminsGroupe(const Groupe& groupe)
{
    return CheminsGroupe(groupe, nullptr);
}

std::vector<std::string> Stockage::CheminsGroupe(const Groupe& groupe, std::vector<int64_t>& tailles)
{
    return CheminsGroupe(groupe, &tailles);
}

std::vector<std::string> Stockage::CheminsGroupe(const Groupe& groupe, std::vector<int64_t>* tailles)
{
    if (tailles)
        tailles->clear();
    RefGroupe ref;
    uint64_t generation = 0;
    const std::vector<uint32_t> positions = PositionsTriees(groupe, ref, generation);
    std::vector<std::string> chemins;
    chemins.reserve(positions.size());
    std::shared_lock verrou(donnees_);
    if (generation != generationDonnees_)
        return {};
    // The files of a group often share their directory: its path is made once.
    std::string repertoire;
    uint32_t dernier = AucunDossier;
    for (uint32_t position : positions) {
        if (!Retenu(ref.SlotCategorie, position))
            continue;
        const uint32_t dossier = DossierDe(position);
        if (dossier != dernier) {
            repertoire.clear();
            CheminDossier(dossier, repertoire);
            dernier = dossier;
        }
        chemins.push_back(Explorateur::Joindre(repertoire, noms_.Nom(entrees_[position])));
        if (tailles)
            tailles->push_back(TailleEntree(position));
    }
    return chemins;
}

std::string Stockage::InformationFichier(const Groupe& groupe, int ligne, InfoFichier& info)
{
    info = {};
    if (!extension_)
        return {};

    std::shared_lock verrou(donnees_);
    RefGroupe ref;
    uint32_t position = 0;
    if (!Reference(groupe, ref) || !PositionLigne(ref, ligne, position))
        return {};
    info.Nom = noms_.Nom(entrees_[position]);
    info.Ext = extension_->Table()[extensions_[position]].Ext;
    const int64_t octets = TailleEntree(position);
    info.TailleLue = octets != TailleIlisible;
    info.Octets = std::max<int64_t>(octets, 0);
    return CheminEntree(position);
}

int64_t Stockage::Octets(Categorie categorie) const
{
    return CategorieValide(categorie) ? octets_[Slot(categorie)].load() : 0;
}

int32_t Stockage::TaillesIlisibles(Categorie categorie) const
{
    return CategorieValide(categorie) ? illisibles_[Slot(categorie)].load() : 0;
}

int64_t Stockage::OctetsGroupe(const Groupe& groupe) const
{
    std::shared_lock verrou(donnees_);
    RefGroupe ref;
    if (!Reference(groupe, ref))
        return 0;
    if (static_cast<int>(ref.SlotCategorie) == filtreSlot_ || ref.Type == Genre::Repertoire) {
        int64_t octets = 0;
        Parcourir(ref, [&](uint32_t position) {
            if (Retenu(ref.SlotCategorie, position))
                octets += std::max<int64_t>(TailleEntree(position), 0);
            return true;
        });
        return octets;
    }
    const DonneesCategorie& categorie = categories_[ref.SlotCategorie];
    switch (ref.Type) {
    case Genre::Repertoire:
        return 0; // summed above
    case Genre::Lettre:
        return categorie.OctetsLettres[ref.Index];
    case Genre::Extension:
        return categorie.ParExtension[ref.Index].Octets;
    case Genre::Taille:
        return octets_[ref.SlotCategorie].load();
    }
    return 0;
}

int32_t Stockage::NombreFichiers(const Groupe& groupe) const
{
    std::shared_lock verrou(donnees_);
    RefGroupe ref;
    if (!Reference(groupe, ref))
        return 0;
    if (static_cast<int>(ref.SlotCategorie) != filtreSlot_)
        return static_cast<int32_t>(TailleGroupe(ref));
    int32_t nombre = 0;
    Parcourir(ref, [&](uint32_t position) {
        nombre += Retenu(ref.SlotCategorie, position) ? 1 : 0;
        return true;
    });
    return nombre;
}

// ---------------------------------------------------------------- filter

bool Stockage::PositionLigne(const RefGroupe& ref, int ligne, uint32_t& position) const
{
    if (ligne < 0)
        return false;
    const size_t taille = TailleGroupe(ref);
    if (static_cast<int>(ref.SlotCategorie) != filtreSlot_) {
        if (static_cast<size_t>(ligne) >= taille)
            return false;
        position = ElementGroupe(ref, static_cast<size_t>(ligne));
        return true;
    }
    // The kept files in the group's order: the row-th of them.
    int reste = ligne;
    bool trouve = false;
    Parcourir(ref, [&](uint32_t element) {
        if (Retenu(ref.SlotCategorie, element) && reste-- == 0) {
            position = element;
            trouve = true;
        }
        return !trouve;
    });
    return trouve;
}

std::string Stockage::TexteRepertoire(size_t slot, size_t groupe, int64_t nombre) const
{
    const DonneesCategorie& categorie = categories_[slot];
    std::string chemin;
    CheminDossier(debutsDossiers_[categorie.ParRepertoire[groupe].Dossier].Dossier, chemin);
    return Textes::Groupe(nombre, RepertoireAffiche(chemin, LongueurRacine.load()));
}

std::string Stockage::TexteRepertoire(Categorie categorie, int32_t groupe) const
{
    if (!CategorieValide(categorie) || groupe < 0)
        return {};
    // Not the data lock: the window's thread asks while the store worker files.
    std::lock_guard verrou(repertoires_);
    const size_t slot = Slot(categorie);
    const RefGroupe ref{slot, Genre::Repertoire, static_cast<size_t>(groupe)};
    if (!GroupeValide(ref))
        return {};
    return TexteRepertoire(slot, ref.Index, static_cast<int64_t>(TailleGroupe(ref)));
}

namespace {

// Below this many names a second thread costs more than it saves.
constexpr size_t NomsParPartMin = 1 << 16;

// Runs `premier` here and `second` on a worker of its own when `deux`.
template <typename Premier, typename Second>
void EnParallele(bool deux, Premier&& premier, Second&& second)
{
    if (!deux) {
        premier();
        second();
        return;
    }
    Travailleur fil([&second](Travailleur&) { second(); });
    fil.Demarrer();
    premier();
    fil.Joindre();
}

} // namespace

bool Stockage::FiltrerAvec(Categorie categorie, std::string_view replie, int32_t repertoiresMax, void* abandon,
                           bool (*demander)(void*), Filtre& sortie, const std::vector<uint64_t>* parmi) const
{
    constexpr size_t PasAbandon = 4096;
    sortie = Filtre{};
    sortie.Cat = categorie;
    if (!CategorieValide(categorie))
        return true;
    const size_t slot = Slot(categorie);
    std::shared_lock verrou(donnees_);
    const DonneesCategorie& donnees = categories_[slot];
    const size_t mots = (entrees_.size() + 63) / 64;
    const size_t groupes = std::min(donnees.ParRepertoire.size(), static_cast<size_t>(std::max(repertoiresMax, 0)));
    const size_t noms = groupes == 0 ? 0 : donnees.ParRepertoire[groupes - 1].Fin;
    // Two cores: the directory groups in two shares of about as many names,
    // each with bits of its own, joined afterwards.
    const bool deux = noms >= 2 * NomsParPartMin && std::thread::hardware_concurrency() > 1;
    const size_t milieu =
        deux ? static_cast<size_t>(std::upper_bound(donnees.ParRepertoire.begin(),
                                                    donnees.ParRepertoire.begin() + static_cast<ptrdiff_t>(groupes),
                                                    noms / 2,
                                                    [](size_t n, const GroupeRepertoire& g) { return n < g.Fin; }) -
                                   donnees.ParRepertoire.begin())
             : groupes;

    const size_t lignes = extension_ ? extension_->Table().size() : 0;
    const std::array<bool, 256> dansCategorie = LignesDeCategorie(categorie);

    struct Part
    {
        std::vector<uint64_t> Bits;
        std::vector<int32_t> Repertoires;
        std::vector<int64_t> Octets;
        std::vector<QString> Textes;
        int64_t Nombre = 0;
        bool Fini = true;
    };
    // The names, one directory group after another: each kept one sets its
    // bit and counts in its group.
    auto parcourir = [&](size_t premier, size_t dernier, Part& part) {
        part.Bits.assign(mots, 0);
        // Names are at most ArenaNoms::LongueurMax bytes; folding never lengthens one.
        std::vector<char> nom(ArenaNoms::LongueurMax + 1);
        size_t vus = 0;
        for (size_t g = premier; g < dernier && part.Fini; ++g) {
            // Whatever order the group was sorted in, its files are those of
            // the category among its directory's consecutive positions.
            const uint32_t dossier = donnees.ParRepertoire[g].Dossier;
            const size_t debut = debutsDossiers_[dossier].Position;
            const size_t fin =
                dossier + 1 < debutsDossiers_.size() ? debutsDossiers_[dossier + 1].Position : entrees_.size();
            auto entree = entrees_.begin() + static_cast<ptrdiff_t>(debut);
            auto ligne = extensions_.begin() + static_cast<ptrdiff_t>(debut);
            int64_t nombre = 0;
            int64_t octetsGroupe = 0;
            for (size_t position = debut; position < fin; ++position, ++entree, ++ligne) {
                if (!dansCategorie[*ligne])
                    continue;
                if (++vus % PasAbandon == 0 && demander(abandon)) {
                    part.Fini = false;
                    break;
                }
                if (parmi && position / 64 < parmi->size() && ((*parmi)[position / 64] >> (position % 64) & 1u) == 0)
                    continue;
                const std::string_view brut = noms_.Nom(*entree);
                const size_t longueur = NomFichier::Replier(brut.substr(0, nom.size()), nom.data());
                if (std::string_view(nom.data(), longueur).find(replie) == std::string_view::npos)
                    continue;
                part.Bits[position / 64] |= uint64_t{1} << (position % 64);
                ++nombre;
                octetsGroupe += std::max<int64_t>(TailleEntree(static_cast<uint32_t>(position)), 0);
            }
            if (nombre == 0 || !part.Fini)
                continue;
            part.Nombre += nombre;
            part.Repertoires.push_back(static_cast<int32_t>(g));
            part.Octets.push_back(octetsGroupe);
            part.Textes.push_back(NomFichier::Texte(TexteRepertoire(slot, g, nombre)));
        }
    };
    Part haut, bas;
    EnParallele(
        deux, [&] { parcourir(0, milieu, haut); },
        [&] {
            if (milieu < groupes)
                parcourir(milieu, groupes, bas);
        });
    if (!haut.Fini || !bas.Fini || demander(abandon))
        return false;
    sortie.Bits = std::move(haut.Bits);
    if (!bas.Bits.empty())
        for (size_t m = 0; m < mots; ++m)
            sortie.Bits[m] |= bas.Bits[m];
    sortie.Nombre = haut.Nombre + bas.Nombre;
    sortie.Repertoires = std::move(haut.Repertoires);
    sortie.Repertoires.insert(sortie.Repertoires.end(), bas.Repertoires.begin(), bas.Repertoires.end());
    sortie.OctetsRepertoires = std::move(haut.Octets);
    sortie.OctetsRepertoires.insert(sortie.OctetsRepertoires.end(), bas.Octets.begin(), bas.Octets.end());
    for (int64_t octets : sortie.OctetsRepertoires)
        sortie.Octets += octets;
    sortie.TextesRepertoires = std::move(haut.Textes);
    std::move(bas.Textes.begin(), bas.Textes.end(), std::back_inserter(sortie.TextesRepertoires));

    // The other two orders count the same files.
    sortie.Extensions.assign(lignes, -1);
    sortie.OctetsExtensions.assign(lignes, 0);
    for (const GroupeExtension& groupe : donnees.ParExtension)
        if (groupe.IndexTable < lignes)
            sortie.Extensions[groupe.IndexTable] = 0;
    for (size_t mot = 0; mot < sortie.Bits.size(); ++mot) {
        for (uint64_t bits = sortie.Bits[mot]; bits != 0; bits &= bits - 1) {
            const size_t position = mot * 64 + static_cast<size_t>(__builtin_ctzll(bits));
            const int64_t octets = std::max<int64_t>(TailleEntree(static_cast<uint32_t>(position)), 0);
            ++sortie.Lettres[lettres_[position]];
            sortie.OctetsLettres[lettres_[position]] += octets;
            if (extensions_[position] < lignes) {
                ++sortie.Extensions[extensions_[position]];
                sortie.OctetsExtensions[extensions_[position]] += octets;
            }
        }
    }
    return true;
}

void Stockage::AppliquerFiltre(Categorie categorie, std::vector<uint64_t> bits)
{
    std::unique_lock verrou(donnees_);
    filtreSlot_ = CategorieValide(categorie) ? static_cast<int>(Slot(categorie)) : -1;
    filtreBits_ = std::move(bits);
}

void Stockage::RetirerFiltre()
{
    std::unique_lock verrou(donnees_);
    filtreSlot_ = -1;
    filtreBits_ = {};
}
