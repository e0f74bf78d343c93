#include "scan/Stockage.h"

#include "classification/Extension.h"
#include "scan/Explorateur.h"
#include "shared/TexteNombre.h"
#include "shared/Travailleur.h"
#include "trees/GestionTreeView.h"
#include "widgets/Etiquette.h"
#include "ui/GestionBouton.h"
#include "ui/TFormPrincipal.h"

#include <QMetaObject>

#include <algorithm>
#include <limits>
#include <numeric>

namespace {

constexpr int OrdreExtension = 1;
constexpr int OrdreAlphabetique = 2;
constexpr int OrdreRepertoire = 3;
constexpr int ImageDossier = 0;
constexpr int ImageAucune = -1;
constexpr int AttenteVide = 10;   // ms between two looks at an empty waiting list
constexpr int NombreLettresAlphabet = 26;
// Top-level nodes of an alphabetical tree.
constexpr int IndexChiffres = 0;
constexpr int IndexSpecial = 2;
// Positions are 32-bit.
constexpr size_t MaxEntrees = std::numeric_limits<uint32_t>::max();

const QString TexteLettres = QStringLiteral("A...Z");

bool CategorieValide(int categorie)
{
    return categorie >= 1 && categorie <= Stockage::NombreCategories;
}

// A group node's text: "(" count ") " and what the group is, e.g. «(1 250) ~/Photos».
std::string TexteGroupe(int64_t nombre, const std::string& quoi)
{
    std::string texte = "(";
    texte.append(Stockage::FormaterNombre(nombre)).append(") ").append(quoi);
    return texte;
}

// The extension named by a by-extension node: its text after the last space.
std::string ExtensionDuTexte(const QString& texte)
{
    return texte.mid(texte.lastIndexOf(QLatin1Char(' ')) + 1).toStdString();
}

// Stable order of keys cles[debuts[i] .. debuts[i + 1]); change tells
// whether it differs from the order given.
std::vector<uint32_t> OrdreTrie(const std::string& cles, const std::vector<uint32_t>& debuts, bool& change)
{
    const size_t n = debuts.empty() ? 0 : debuts.size() - 1;
    auto cle = [&](uint32_t i) {
        return std::string_view(cles.data() + debuts[i], debuts[i + 1] - debuts[i]);
    };
    std::vector<uint32_t> ordre(n);
    std::iota(ordre.begin(), ordre.end(), 0u);
    change = false;
    for (size_t i = 1; i < n && !change; ++i)
        change = cle(static_cast<uint32_t>(i)) < cle(static_cast<uint32_t>(i - 1));
    if (change)
        std::stable_sort(ordre.begin(), ordre.end(), [&](uint32_t a, uint32_t b) { return cle(a) < cle(b); });
    return ordre;
}

}   // namespace

Stockage::Stockage() = default;
Stockage::~Stockage() = default;

// ---------------------------------------------------------------- filing

void Stockage::Reinitialiser()
{
    Verrou.Attendre();
    Attente.clear();
    Verrou.Liberer();

    std::unique_lock verrou(donnees_);
    noms_.Vider();
    entrees_ = {};
    extensions_ = {};
    repertoires_ = {};
    for (DonneesCategorie& categorie : categories_)
        categorie = DonneesCategorie{};
    for (std::atomic<int32_t>& compteur : Compteurs_)
        compteur.store(0);
    ++versionOrdre_;
    ++generationDonnees_;
    std::lock_guard verrouTailles(verrouTailles_);
    tailles_.clear();
}

void Stockage::DefinirRacine(int32_t longueur)
{
    LongueurRacine.store(longueur);
}

void Stockage::MarquerFinParcours()
{
    FinParcours.store(true);
}

void Stockage::PreparerScan()
{
    FinParcours.store(false);
}

void Stockage::EmpilerRepertoire(const std::string& chemin, std::vector<std::string> fichiers)
{
    TAttente attente;
    attente.Fichiers = std::move(fichiers);
    attente.Texte = chemin;
    Verrou.Attendre();
    Attente.push_back(std::move(attente));
    Verrou.Liberer();
}

void Stockage::BoucleStockage(Travailleur& travailleur)
{
    for (;;) {
        Verrou.Attendre();
        if (Attente.empty()) {
            // The walk marks its end after its last queueing, so an empty
            // list seen with the end mark stays empty.
            const bool fin = FinParcours.load();
            Verrou.Liberer();
            if (fin)
                break;
            if (!travailleur.Dormir(AttenteVide))
                return;
            continue;
        }
        TAttente attente = std::move(Attente.front());
        Attente.pop_front();
        // Filing happens without Verrou: the walk can go on queueing.
        Verrou.Liberer();
        ClasserRepertoire(attente);
        if (!travailleur.PointDeControle())
            return;
    }

    if (!arbres_)
        return;
    arbres_->FinDemandee.store(true);
    // The notice goes through the tree manager, which lives on the
    // user-interface thread: it is dropped if the managers are gone first.
    if (GestionBouton* bouton = bouton_)
        QMetaObject::invokeMethod(
            arbres_, [bouton] { bouton->ArreterScan(0); }, Qt::QueuedConnection);
}

void Stockage::ClasserRepertoire(TAttente& attente)
{
    if (!extension_)
        return;
    const std::vector<TExt>& table = extension_->Table();

    // Classify without the data lock: readers are held only for the appends.
    classements_.clear();
    for (size_t i = 0; i < attente.Fichiers.size(); ++i) {
        const std::string& nom = attente.Fichiers[i];
        if (nom.size() > ArenaNoms::LongueurMax || nom.find('\0') != std::string::npos)
            continue;
        const int index = extension_->IndexDe(Explorateur::ExtraireExtension(nom));
        if (index < 0)
            continue;   // not in the table: dropped
        classements_.push_back(
            {static_cast<uint32_t>(i), static_cast<uint8_t>(index), static_cast<uint8_t>(NomFichier::Lettre(nom))});
    }
    if (classements_.empty())
        return;

    std::array<int32_t, NombreCategories> nombres{};
    {
        std::unique_lock verrou(donnees_);
        const auto repertoire = static_cast<uint32_t>(repertoires_.size());
        repertoires_.push_back(attente.Texte);
        for (const Classement& classement : classements_) {
            if (entrees_.size() >= MaxEntrees)
                break;
            const uint32_t nom = noms_.Ajouter(attente.Fichiers[classement.IndexNom]);
            if (nom == ArenaNoms::Aucun)
                break;
            const auto position = static_cast<uint32_t>(entrees_.size());
            entrees_.push_back({nom, repertoire});
            extensions_.push_back(classement.IndexTable);

            const int slot = table[classement.IndexTable].Categorie - 1;
            DonneesCategorie& categorie = categories_[static_cast<size_t>(slot)];
            categorie.ParRepertoire.push_back(position);
            categorie.ParLettre[classement.Lettre].push_back(position);
            auto groupe = std::find_if(categorie.ParExtension.begin(), categorie.ParExtension.end(),
                                       [&](const GroupeExtension& g) { return g.IndexTable == classement.IndexTable; });
            if (groupe == categorie.ParExtension.end()) {
                categorie.ParExtension.push_back(GroupeExtension{classement.IndexTable, {}});
                groupe = std::prev(categorie.ParExtension.end());
            }
            groupe->Positions.push_back(position);
            ++nombres[static_cast<size_t>(slot)];
        }
        for (size_t slot = 0; slot < NombreCategories; ++slot) {
            if (nombres[slot] == 0)
                continue;
            DonneesCategorie& categorie = categories_[slot];
            categorie.FinsRepertoire.push_back(static_cast<uint32_t>(categorie.ParRepertoire.size()));
            Compteurs_[slot].fetch_add(nombres[slot]);
        }
    }
    PublierRepertoire(nombres, RepertoireAffiche(attente.Texte, LongueurRacine.load()));
}

void Stockage::PublierRepertoire(const std::array<int32_t, NombreCategories>& nombres, const std::string& affiche)
{
    if (!arbres_)
        return;
    for (size_t slot = 0; slot < NombreCategories; ++slot)
        if (nombres[slot] > 0)
            arbres_->Empiler(static_cast<int>(slot) + 1, TexteGroupe(nombres[slot], affiche));
}

std::string Stockage::FormaterNombre(int64_t nombre)
{
    return TexteNombre::Grouper(nombre);
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
    const DonneesCategorie& categorie = categories_[static_cast<size_t>(ref.Categorie)];
    switch (ref.Type) {
    case Genre::Repertoire:
        return ref.Index < categorie.FinsRepertoire.size();
    case Genre::Lettre:
        return ref.Index < categorie.ParLettre.size();
    case Genre::Extension:
        return ref.Index < categorie.ParExtension.size();
    }
    return false;
}

size_t Stockage::TailleGroupe(const RefGroupe& ref) const
{
    const DonneesCategorie& categorie = categories_[static_cast<size_t>(ref.Categorie)];
    switch (ref.Type) {
    case Genre::Repertoire: {
        const size_t debut = ref.Index == 0 ? 0 : categorie.FinsRepertoire[ref.Index - 1];
        return categorie.FinsRepertoire[ref.Index] - debut;
    }
    case Genre::Lettre:
        return categorie.ParLettre[ref.Index].size();
    case Genre::Extension:
        return categorie.ParExtension[ref.Index].Positions.size();
    }
    return 0;
}

uint32_t Stockage::ElementGroupe(const RefGroupe& ref, size_t index) const
{
    const DonneesCategorie& categorie = categories_[static_cast<size_t>(ref.Categorie)];
    switch (ref.Type) {
    case Genre::Repertoire: {
        const size_t debut = ref.Index == 0 ? 0 : categorie.FinsRepertoire[ref.Index - 1];
        return categorie.ParRepertoire[debut + index];
    }
    case Genre::Lettre:
        return categorie.ParLettre[ref.Index][index];
    case Genre::Extension:
        return categorie.ParExtension[ref.Index].Positions[index];
    }
    return 0;
}

std::vector<uint32_t> Stockage::CopierGroupe(const RefGroupe& ref) const
{
    const size_t taille = TailleGroupe(ref);
    std::vector<uint32_t> positions(taille);
    for (size_t i = 0; i < taille; ++i)
        positions[i] = ElementGroupe(ref, i);
    return positions;
}

void Stockage::EcrireGroupe(const RefGroupe& ref, const std::vector<uint32_t>& positions)
{
    DonneesCategorie& categorie = categories_[static_cast<size_t>(ref.Categorie)];
    switch (ref.Type) {
    case Genre::Repertoire: {
        const size_t debut = ref.Index == 0 ? 0 : categorie.FinsRepertoire[ref.Index - 1];
        std::copy(positions.begin(), positions.end(), categorie.ParRepertoire.begin() + static_cast<ptrdiff_t>(debut));
        break;
    }
    case Genre::Lettre:
        std::copy(positions.begin(), positions.end(), categorie.ParLettre[ref.Index].begin());
        break;
    case Genre::Extension:
        std::copy(positions.begin(), positions.end(), categorie.ParExtension[ref.Index].Positions.begin());
        break;
    }
}

bool Stockage::GroupeExtensionDe(int slot, std::string_view ext, size_t& index) const
{
    if (!extension_)
        return false;
    const std::vector<TExt>& table = extension_->Table();
    const std::vector<GroupeExtension>& groupes = categories_[static_cast<size_t>(slot)].ParExtension;
    for (size_t i = 0; i < groupes.size(); ++i) {
        if (table[groupes[i].IndexTable].Ext == ext) {
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
            NomFichier::AjouterMinuscules(noms_.Nom(entrees_[position].Nom), cles);
    }
    debuts.push_back(static_cast<uint32_t>(cles.size()));
}

bool Stockage::GroupeDuNoeud(int categorie, int ordre, const PlaceNoeud& place, RefGroupe& ref) const
{
    if (!CategorieValide(categorie))
        return false;
    ref.Categorie = categorie - 1;
    switch (ordre) {
    case OrdreRepertoire:
        if (place.Niveau != 0 || place.Index < 0)
            return false;
        ref.Type = Genre::Repertoire;
        ref.Index = static_cast<size_t>(place.Index);
        break;
    case OrdreAlphabetique: {
        int lettre = NomFichier::LettreChiffre;
        if (place.Niveau == 1)
            lettre = place.Index + 1;
        else if (place.Niveau == 0 && place.Index == IndexSpecial)
            lettre = NomFichier::LettreSpeciale;
        if (lettre < 0)
            return false;
        ref.Type = Genre::Lettre;
        ref.Index = static_cast<size_t>(lettre);
        break;
    }
    case OrdreExtension:
        ref.Type = Genre::Extension;
        if (!GroupeExtensionDe(ref.Categorie, ExtensionDuTexte(place.Texte), ref.Index))
            return false;
        break;
    default:
        return false;
    }
    return GroupeValide(ref);
}

bool Stockage::GroupeDuParent(int categorie, int ordre, const PlaceNoeud& place, RefGroupe& ref) const
{
    if (!CategorieValide(categorie) || place.NiveauParent < 0 || place.IndexParent < 0)
        return false;
    ref.Categorie = categorie - 1;
    switch (ordre) {
    case OrdreRepertoire:
        if (place.NiveauParent != 0)
            return false;
        ref.Type = Genre::Repertoire;
        ref.Index = static_cast<size_t>(place.IndexParent);
        break;
    case OrdreAlphabetique:
        ref.Type = Genre::Lettre;
        if (place.NiveauParent == 0 && place.IndexParent == IndexChiffres)
            ref.Index = NomFichier::LettreChiffre;
        else if (place.Niveau == 2)
            ref.Index = static_cast<size_t>(place.IndexParent) + 1;
        else if (place.NiveauParent == 0 && place.IndexParent == IndexSpecial)
            ref.Index = NomFichier::LettreSpeciale;
        else
            return false;   // e.g. a letter node without files
        break;
    case OrdreExtension:
        ref.Type = Genre::Extension;
        if (!GroupeExtensionDe(ref.Categorie, ExtensionDuTexte(place.TexteParent), ref.Index))
            return false;
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
    const std::vector<uint32_t> ordre = OrdreTrie(cles, debuts, change);
    if (!change)
        return;
    std::vector<uint32_t> triees(groupe.size());
    for (size_t i = 0; i < ordre.size(); ++i)
        triees[i] = groupe[ordre[i]];
    groupe = std::move(triees);
}

std::vector<uint32_t> Stockage::TrierDansStockage(const RefGroupe& ref, uint64_t& generation)
{
    // Copy and keys under the shared lock, sort outside, write back under
    // the exclusive lock unless another sort or an emptying came between.
    for (;;) {
        std::vector<uint32_t> positions;
        std::string cles;
        std::vector<uint32_t> debuts;
        uint64_t version = 0;
        {
            std::shared_lock verrou(donnees_);
            if (!GroupeValide(ref))
                return {};
            positions = CopierGroupe(ref);
            CalculerCles(positions, cles, debuts);
            version = versionOrdre_;
            generation = generationDonnees_;
        }
        bool change = false;
        const std::vector<uint32_t> ordre = OrdreTrie(cles, debuts, change);
        if (!change)
            return positions;
        std::vector<uint32_t> triees(positions.size());
        for (size_t i = 0; i < ordre.size(); ++i)
            triees[i] = positions[ordre[i]];
        std::unique_lock verrou(donnees_);
        // Groups only grow while filing goes on, so the first positions are
        // still the ones sorted unless the version moved.
        if (versionOrdre_ == version) {
            EcrireGroupe(ref, triees);
            ++versionOrdre_;
            return triees;
        }
    }
}

// ---------------------------------------------------------------- views

int32_t Stockage::Compteur(int categorie) const
{
    return CategorieValide(categorie) ? Compteurs_[static_cast<size_t>(categorie - 1)].load() : 0;
}

int Stockage::NombreRepertoires(int categorie) const
{
    if (!CategorieValide(categorie))
        return 0;
    std::shared_lock verrou(donnees_);
    return static_cast<int>(categories_[static_cast<size_t>(categorie - 1)].FinsRepertoire.size());
}

void Stockage::AfficherCompteurs()
{
    if (!FormPrincipal)
        return;
    const int32_t video = Compteur(CategorieVideo);
    const int32_t son = Compteur(CategorieSon);
    const int32_t image = Compteur(CategorieImage);
    const int32_t texte = Compteur(CategorieTexte);
    const int64_t total = int64_t{video} + son + image + texte;
    auto texteDe = [](int64_t nombre) { return QString::fromStdString(FormaterNombre(nombre)); };
    FormPrincipal->LabelHomeFichierNbVideo->setText(texteDe(video));
    FormPrincipal->LabelHomeFichierNbSon->setText(texteDe(son));
    FormPrincipal->LabelHomeFichierNbImage->setText(texteDe(image));
    FormPrincipal->LabelHomeFichierNbTexte->setText(texteDe(texte));
    FormPrincipal->LabelHomeFichierNbTotal->setText(texteDe(total));
}

void Stockage::ConstruireAlphabetique()
{
    if (!arbres_)
        return;
    std::array<std::array<size_t, NombreLettres>, NombreCategories> nombres{};
    {
        std::shared_lock verrou(donnees_);
        for (size_t slot = 0; slot < NombreCategories; ++slot)
            for (size_t lettre = 0; lettre < NombreLettres; ++lettre)
                nombres[slot][lettre] = categories_[slot].ParLettre[lettre].size();
    }

    arbres_->Vider(GestionTreeView::ModeVider::ExtensionEtAlphabetique);
    const QString& attente = GestionTreeView::TexteAttente;
    for (int categorie = 1; categorie <= NombreCategories; ++categorie) {
        const auto& n = nombres[static_cast<size_t>(categorie - 1)];
        Noeud* chiffres = arbres_->AjouterRacine(
            categorie, OrdreAlphabetique, QStringLiteral("0...9 (%1)").arg(n[NomFichier::LettreChiffre]),
            ImageDossier);
        arbres_->AjouterEnfant(categorie, OrdreAlphabetique, attente, ImageAucune, chiffres);

        Noeud* lettres = arbres_->AjouterRacine(categorie, OrdreAlphabetique, TexteLettres, ImageDossier);
        for (int j = 1; j <= NombreLettresAlphabet; ++j) {
            const QString texte = QStringLiteral("%1 (%2)").arg(QChar('A' + j - 1)).arg(n[static_cast<size_t>(j)]);
            Noeud* lettre = arbres_->AjouterEnfant(categorie, OrdreAlphabetique, texte, ImageDossier, lettres);
            arbres_->AjouterEnfant(categorie, OrdreAlphabetique, attente, ImageDossier, lettre);
        }

        Noeud* special = arbres_->AjouterRacine(
            categorie, OrdreAlphabetique, QStringLiteral("Special (%1)").arg(n[NomFichier::LettreSpeciale]),
            ImageDossier);
        arbres_->AjouterEnfant(categorie, OrdreAlphabetique, attente, ImageAucune, special);
    }
}

void Stockage::AjouterNoeudsExtension(int categorie, const std::string& ext)
{
    if (!arbres_ || !CategorieValide(categorie))
        return;
    size_t nombre = 0;
    {
        std::shared_lock verrou(donnees_);
        size_t index = 0;
        if (!GroupeExtensionDe(categorie - 1, ext, index))
            return;
        nombre = categories_[static_cast<size_t>(categorie - 1)].ParExtension[index].Positions.size();
    }
    const QString texte = QString::fromStdString(TexteGroupe(static_cast<int64_t>(nombre), ext));
    Noeud* noeud = arbres_->AjouterRacine(categorie, OrdreExtension, texte, ImageDossier);
    arbres_->AjouterEnfant(categorie, OrdreExtension, GestionTreeView::TexteAttente, ImageAucune, noeud);
}

std::vector<EnfantNoeud> Stockage::EnfantsNoeud(int categorie, int ordre, const PlaceNoeud& place)
{
    RefGroupe ref;
    {
        std::shared_lock verrou(donnees_);
        if (!GroupeDuNoeud(categorie, ordre, place, ref))
            return {};
    }
    uint64_t generation = 0;
    const std::vector<uint32_t> positions = TrierDansStockage(ref, generation);

    std::vector<EnfantNoeud> enfants;
    enfants.reserve(positions.size());
    std::shared_lock verrou(donnees_);
    if (generation != generationDonnees_ || !extension_)
        return {};
    const std::vector<TExt>& table = extension_->Table();
    for (uint32_t position : positions)
        enfants.push_back(
            EnfantNoeud{NomFichier::Texte(noms_.Nom(entrees_[position].Nom)), table[extensions_[position]].Icone});
    return enfants;
}

void Stockage::RemplirNoeud(int categorie, int ordre, Noeud* noeud, const PlaceNoeud& place, quint64 generation)
{
    std::vector<EnfantNoeud> enfants = EnfantsNoeud(categorie, ordre, place);
    if (arbres_)
        arbres_->RemplacerEnfants(categorie, ordre, noeud, generation, std::move(enfants));
}

std::string Stockage::InformationFichier(int categorie, int ordre, const PlaceNoeud& place, QString& nom,
                                         QString& ext, QString& taille)
{
    nom.clear();
    ext.clear();
    taille.clear();
    if (!extension_)
        return {};

    std::string chemin;
    uint32_t position = 0;
    int64_t octets = 0;
    uint64_t generation = 0;
    {
        std::shared_lock verrou(donnees_);
        RefGroupe ref;
        if (!GroupeDuParent(categorie, ordre, place, ref) || place.Index < 0 ||
            static_cast<size_t>(place.Index) >= TailleGroupe(ref))
            return {};
        position = ElementGroupe(ref, static_cast<size_t>(place.Index));
        const std::string_view nomOctets = noms_.Nom(entrees_[position].Nom);
        chemin = Explorateur::Joindre(repertoires_[entrees_[position].Repertoire], nomOctets);
        nom = NomFichier::Texte(nomOctets);
        ext = QString::fromStdString(extension_->Table()[extensions_[position]].Ext);
        generation = generationDonnees_;
        std::lock_guard verrouTailles(verrouTailles_);
        if (const auto trouvee = tailles_.find(position); trouvee != tailles_.end())
            octets = trouvee->second;
    }

    // Read once: a size kept is shown again even if the file has changed.
    if (octets == 0) {
        octets = Explorateur::LireTaille(chemin);
        std::shared_lock verrou(donnees_);
        if (octets != 0 && generation == generationDonnees_) {
            std::lock_guard verrouTailles(verrouTailles_);
            tailles_.emplace(position, octets);
        }
    }
    taille = QString::fromStdString(Explorateur::TexteTaille(octets));
    return chemin;
}
