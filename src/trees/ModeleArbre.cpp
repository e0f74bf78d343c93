#include "trees/ModeleArbre.h"

#include "shared/Textes.h"
#include "widgets/ListeImages.h"

#include <QPixmap>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <utility>

namespace {

constexpr quintptr Marque = 1; // low bit of a "..." row's id: its parent follows
// The id of a row of the list without nodes: its parent is the model's one
// list holder. Nodes are aligned, so no node pointer reads as it.
constexpr quintptr MarqueListe = 2;
// Pages of the list kept read.
constexpr size_t PagesGardees = 8;

const QString TexteAttente = QStringLiteral("...");

int8_t ImageAttenteCourte(int image)
{
    const int16_t court = Noeud::ImageCourte(image);
    return static_cast<int8_t>(court >= -1 && court <= INT8_MAX ? court : -1);
}

bool EstMarque(const QModelIndex& index)
{
    return (index.internalId() & Marque) != 0;
}

Noeud* NoeudBrut(const QModelIndex& index)
{
    return reinterpret_cast<Noeud*>(index.internalId() & ~Marque);
}

quintptr Marquer(const Noeud* parent)
{
    return reinterpret_cast<quintptr>(parent) | Marque;
}

// What a valid index stands for: a node, or the flagged "..." of a parent.
struct Ligne
{
    Noeud* N = nullptr;
    const Noeud* ParentAttente = nullptr;
};

bool EstListe(const QModelIndex& index)
{
    return index.isValid() && index.internalId() == MarqueListe;
}

Ligne Resoudre(const QModelIndex& index)
{
    if (!index.isValid() || EstListe(index))
        return {};
    Noeud* noeud = NoeudBrut(index);
    if (!EstMarque(index))
        return {noeud, nullptr};
    return noeud->AttenteVirtuelle() ? Ligne{nullptr, noeud} : Ligne{};
}

} // namespace

const QString ModeleArbre::TailleInconnue = QStringLiteral("?");

ModeleArbre::ModeleArbre(ListeImages* images, QObject* parent) : QAbstractItemModel(parent), images_(images) {}

ModeleArbre::~ModeleArbre()
{
    noeuds_.Vider(racines_);
}

Noeud* ModeleArbre::NoeudDe(const QModelIndex& index)
{
    return Resoudre(index).N;
}

Noeud* ModeleArbre::ParentAttenteDe(const QModelIndex& index)
{
    return const_cast<Noeud*>(Resoudre(index).ParentAttente);
}

QModelIndex ModeleArbre::IndexDe(const Noeud* noeud) const
{
    if (!noeud)
        return {};
    return createIndex(noeud->Index, 0, const_cast<Noeud*>(noeud));
}

QModelIndex ModeleArbre::IndexAttente(const Noeud* parent) const
{
    return parent && parent->AttenteVirtuelle() ? createIndex(0, 0, Marquer(parent)) : QModelIndex();
}

namespace {

ListeEnfants& Liste(ListeEnfants& racines, Noeud* parent)
{
    return parent ? parent->Enfants : racines;
}

Noeud* Nouveau(ReserveNoeuds& noeuds, Noeud* parent, TexteNoeud texte, int image, int ligne)
{
    Noeud* noeud = noeuds.Nouveau();
    noeud->Texte = texte;
    noeud->Image = Noeud::ImageCourte(image);
    noeud->Parent = parent;
    noeud->Index = ligne;
    return noeud;
}

} // namespace

QModelIndex ModeleArbre::index(int row, int column, const QModelIndex& parent) const
{
    if (column < 0 || column > ColonneTaille || row < 0)
        return {};
    if (!parent.isValid()) {
        if (row >= static_cast<int>(racines_.size()))
            return {};
        return createIndex(row, column, racines_[static_cast<size_t>(row)]);
    }
    if (parent.column() != 0)
        return {};
    const Noeud* noeud = Resoudre(parent).N;
    if (noeud && noeud == parentLignes_)
        return row < montrees_ ? createIndex(row, column, MarqueListe) : QModelIndex();
    if (!noeud || row >= noeud->NombreEnfants())
        return {};
    if (noeud->AttenteVirtuelle())
        return createIndex(0, column, Marquer(noeud));
    return createIndex(row, column, noeud->Enfants[static_cast<size_t>(row)]);
}

QModelIndex ModeleArbre::parent(const QModelIndex& child) const
{
    if (!child.isValid())
        return {};
    if (EstListe(child))
        return IndexDe(parentLignes_);
    Noeud* noeud = NoeudBrut(child);
    return EstMarque(child) ? IndexDe(noeud) : IndexDe(noeud->Parent);
}

int ModeleArbre::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return static_cast<int>(racines_.size());
    if (parent.column() != 0)
        return 0;
    const Noeud* noeud = Resoudre(parent).N;
    if (noeud && noeud == parentLignes_)
        return montrees_;
    return noeud ? noeud->NombreEnfants() : 0;
}

bool ModeleArbre::canFetchMore(const QModelIndex& parent) const
{
    const Noeud* noeud = Resoudre(parent).N;
    return noeud && noeud == parentLignes_ && montrees_ < nombreLignes_;
}

void ModeleArbre::fetchMore(const QModelIndex& parent)
{
    if (!canFetchMore(parent))
        return;
    const int32_t pas = std::min(PasLignes, nombreLignes_ - montrees_);
    beginInsertRows(parent.siblingAtColumn(0), montrees_, montrees_ + pas - 1);
    montrees_ += pas;
    endInsertRows();
}

int ModeleArbre::columnCount(const QModelIndex&) const
{
    return ColonneTaille + 1;
}

int ModeleArbre::LigneListe(const QModelIndex& index)
{
    return EstListe(index) ? index.row() : -1;
}

const EnfantNoeud* ModeleArbre::EnfantListe(int ligne) const
{
    if (!parentLignes_ || ligne < 0 || ligne >= montrees_)
        return nullptr;
    const size_t debut = static_cast<size_t>(ligne) / TaillePage * TaillePage;
    auto page = pages_.find(debut);
    if (page == pages_.end()) {
        if (!lignes_)
            return nullptr;
        // The rows shown: one page of the list, sorted already.
        if (pages_.size() >= PagesGardees) {
            // The page farthest from the one asked for goes.
            const auto ecart = [debut](size_t d) { return d > debut ? d - debut : debut - d; };
            pages_.erase(ecart(pages_.begin()->first) > ecart(pages_.rbegin()->first) ? pages_.begin()
                                                                                      : std::prev(pages_.end()));
        }
        page = pages_.emplace(debut, lignes_(parentLignes_->Groupe, debut, TaillePage)).first;
    }
    const size_t i = static_cast<size_t>(ligne) - debut;
    return i < page->second.size() ? &page->second[i] : nullptr;
}

int64_t ModeleArbre::OctetsNoeud(const Noeud* noeud, bool& lisible) const
{
    lisible = true;
    const auto total = [this](int32_t groupe) {
        // A filtered group's total is a walk over its files: read once.
        const auto lu = octetsGroupes_.find(groupe);
        return lu != octetsGroupes_.end() ? lu->second : octetsGroupes_.emplace(groupe, octets_(groupe)).first->second;
    };
    if (noeud->Groupe >= 0)
        return octets_ ? total(noeud->Groupe) : -1;
    if (noeud->Parent && noeud->Parent->Groupe >= 0 && !noeud->AEnfants()) {
        lisible = noeud->Octets >= 0;
        return noeud->Octets;
    }
    // "A...Z": the total of its letters.
    int64_t somme = -1;
    for (const Noeud* enfant : noeud->Enfants)
        if (enfant->Groupe >= 0 && octets_)
            somme = std::max<int64_t>(somme, 0) + total(enfant->Groupe);
    return somme;
}

QString ModeleArbre::TexteTaille(const QModelIndex& index) const
{
    if (const int ligne = LigneListe(index); ligne >= 0) {
        const EnfantNoeud* enfant = EnfantListe(ligne);
        if (!enfant)
            return {};
        return enfant->Octets >= 0 ? QString::fromStdString(Textes::Taille(enfant->Octets)) : TailleInconnue;
    }
    const Noeud* noeud = Resoudre(index).N;
    if (!noeud)
        return {};
    bool lisible = true;
    const int64_t octets = OctetsNoeud(noeud, lisible);
    if (!lisible)
        return TailleInconnue;
    return octets >= 0 ? QString::fromStdString(Textes::Taille(octets)) : QString();
}

QVariant ModeleArbre::data(const QModelIndex& index, int role) const
{
    if (index.column() == ColonneTaille) {
        switch (role) {
        case Qt::DisplayRole:
            return TexteTaille(index);
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
        case Qt::AccessibleTextRole: {
            const QString taille = TexteTaille(index);
            if (taille.isEmpty())
                return {};
            return taille == TailleInconnue ? QStringLiteral("Taille illisible") : QStringLiteral("Taille : ") + taille;
        }
        default:
            return {};
        }
    }
    if (const int rang = LigneListe(index); rang >= 0) {
        const EnfantNoeud* enfant = EnfantListe(rang);
        if (!enfant)
            return {};
        if (role == Qt::DisplayRole)
            return enfant->Texte;
        if (role == Qt::DecorationRole && images_ && enfant->Image >= 0 && enfant->Image < images_->Nombre())
            return images_->Image(enfant->Image);
        return {};
    }
    const Ligne ligne = Resoudre(index);
    if (!ligne.N && !ligne.ParentAttente)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return ligne.N ? Texte(ligne.N) : TexteAttente;
    case Qt::DecorationRole: {
        const int image = ligne.N ? ligne.N->Image : ligne.ParentAttente->imageAttente_;
        if (images_ && image >= 0 && image < images_->Nombre())
            return images_->Image(image);
        return {};
    }
    default:
        return {};
    }
}

QString ModeleArbre::Texte(const Noeud* noeud) const
{
    if (!noeud)
        return {};
    if (noeud->texteSource_ && source_)
        return source_(noeud->Groupe);
    return noeud->Texte.Chaine();
}

QVariant ModeleArbre::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section == 0)
        return QStringLiteral("Nom");
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section == ColonneTaille)
        return QStringLiteral("Taille");
    return QAbstractItemModel::headerData(section, orientation, role);
}

Qt::ItemFlags ModeleArbre::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags drapeaux = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
    // A list's rows are files: the view lays them out without asking.
    return EstListe(index) ? drapeaux | Qt::ItemNeverHasChildren : drapeaux;
}

void ModeleArbre::RetirerAttente(Noeud* noeud)
{
    if (!noeud || !noeud->AttenteVirtuelle())
        return;
    beginRemoveRows(IndexDe(noeud), 0, 0);
    noeud->attente_ = false;
    endRemoveRows();
}

Noeud* ModeleArbre::Ajouter(Noeud* parent, const QString& texte, int image)
{
    // Real children take the place of a "..." placeholder.
    RetirerAttente(parent);
    auto& liste = Liste(racines_, parent);
    const int ligne = static_cast<int>(liste.size());
    beginInsertRows(IndexDe(parent), ligne, ligne);
    Noeud* resultat = Nouveau(noeuds_, parent, textes_.Ajouter(texte), image, ligne);
    liste.push_back(resultat);
    endInsertRows();
    return resultat;
}

Noeud* ModeleArbre::AjouterGroupe(Noeud* parent, const QString& texte, int image, int32_t groupe, int imageAttente)
{
    RetirerAttente(parent);
    auto& liste = Liste(racines_, parent);
    const int ligne = static_cast<int>(liste.size());
    beginInsertRows(IndexDe(parent), ligne, ligne);
    Noeud* resultat = Nouveau(noeuds_, parent, textes_.Ajouter(texte), image, ligne);
    resultat->Groupe = groupe;
    resultat->attente_ = true;
    resultat->imageAttente_ = ImageAttenteCourte(imageAttente);
    liste.push_back(resultat);
    endInsertRows();
    return resultat;
}

void ModeleArbre::AjouterRacinesAvecAttente(const std::vector<QString>& textes, int image, int imageAttente,
                                            const std::vector<int32_t>* groupes)
{
    if (textes.empty())
        return;
    const int8_t attente = ImageAttenteCourte(imageAttente);
    const int premier = static_cast<int>(racines_.size());
    beginInsertRows({}, premier, premier + static_cast<int>(textes.size()) - 1);
    racines_.reserve(racines_.size() + textes.size());
    int ligne = premier;
    for (const QString& texte : textes) {
        // the directory group of the same rank, unless given
        const int32_t groupe = groupes && static_cast<size_t>(ligne - premier) < groupes->size()
                                   ? (*groupes)[static_cast<size_t>(ligne - premier)]
                                   : ligne;
        // A null text is the source's: not kept.
        const bool deSource = source_ && texte.isNull();
        Noeud* noeud = Nouveau(noeuds_, nullptr, deSource ? TexteNoeud() : textes_.Ajouter(texte), image, ligne);
        noeud->Groupe = groupe;
        noeud->texteSource_ = deSource;
        ++ligne;
        noeud->attente_ = true;
        noeud->imageAttente_ = attente;
        racines_.push_back(noeud);
    }
    endInsertRows();
}

void ModeleArbre::RetirerLignes()
{
    Noeud* parent = parentLignes_;
    if (!parent)
        return;
    if (montrees_ > 0) {
        beginRemoveRows(IndexDe(parent), 0, montrees_ - 1);
        parentLignes_ = nullptr;
        nombreLignes_ = 0;
        montrees_ = 0;
        pages_.clear();
        endRemoveRows();
    }
    parent->virtuels_ = false;
    parentLignes_ = nullptr;
    nombreLignes_ = 0;
    montrees_ = 0;
    pages_.clear();
}

void ModeleArbre::DefinirLignes(Noeud* noeud, int32_t nombre, std::vector<EnfantNoeud> premieres)
{
    if (!noeud)
        return;
    RetirerLignes();
    SupprimerEnfants(noeud);
    if (nombre <= 0)
        return;
    const int32_t montrees = std::min(nombre, PasLignes);
    beginInsertRows(IndexDe(noeud), 0, montrees - 1);
    parentLignes_ = noeud;
    noeud->virtuels_ = true;
    nombreLignes_ = nombre;
    montrees_ = montrees;
    if (!premieres.empty())
        pages_.emplace(0, std::move(premieres));
    endInsertRows();
}

void ModeleArbre::SupprimerEnfants(Noeud* noeud)
{
    if (noeud && noeud == parentLignes_) {
        RetirerLignes();
        return;
    }
    if (noeud && noeud->AttenteVirtuelle()) {
        RetirerAttente(noeud);
        return;
    }
    auto& liste = Liste(racines_, noeud);
    if (liste.empty())
        return;
    beginRemoveRows(IndexDe(noeud), 0, static_cast<int>(liste.size()) - 1);
    for (Noeud* enfant : liste)
        noeuds_.Rendre(enfant);
    liste.clear();
    endRemoveRows();
}

void ModeleArbre::AjouterEnfants(Noeud* noeud, const std::vector<EnfantNoeud>& enfants)
{
    if (enfants.empty())
        return;
    RetirerAttente(noeud);
    auto& liste = Liste(racines_, noeud);
    const int premier = static_cast<int>(liste.size());
    beginInsertRows(IndexDe(noeud), premier, premier + static_cast<int>(enfants.size()) - 1);
    liste.reserve(liste.size() + enfants.size());
    int ligne = premier;
    for (const EnfantNoeud& e : enfants) {
        liste.push_back(Nouveau(noeuds_, noeud, textes_.Ajouter(e.Texte), e.Image, ligne++));
        liste.back()->Octets = e.Octets;
    }
    endInsertRows();
}

void ModeleArbre::ChangerImage(Noeud* noeud, int image)
{
    const int16_t court = Noeud::ImageCourte(image);
    if (!noeud || noeud->Image == court)
        return;
    noeud->Image = court;
    const QModelIndex i = IndexDe(noeud);
    emit dataChanged(i, i, {Qt::DecorationRole});
}

void ModeleArbre::ToutSupprimer()
{
    beginResetModel();
    parentLignes_ = nullptr;
    nombreLignes_ = 0;
    montrees_ = 0;
    pages_.clear();
    octetsGroupes_.clear();
    noeuds_.Vider(racines_);
    textes_.Vider();
    endResetModel();
}

Noeud* ModeleArbre::Racine(int index) const
{
    if (index < 0 || index >= NombreRacines())
        return nullptr;
    return racines_[static_cast<size_t>(index)];
}
