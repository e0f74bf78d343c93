#include "trees/ModeleArbre.h"

#include "widgets/ListeImages.h"

#include <QPixmap>

#include <cstdint>

namespace {

constexpr quintptr Marque = 1; // low bit of a "..." row's id: its parent follows

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

Ligne Resoudre(const QModelIndex& index)
{
    if (!index.isValid())
        return {};
    Noeud* noeud = NoeudBrut(index);
    if (!EstMarque(index))
        return {noeud, nullptr};
    return noeud->AttenteVirtuelle() ? Ligne{nullptr, noeud} : Ligne{};
}

} // namespace

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
    if (column != 0 || row < 0)
        return {};
    if (!parent.isValid()) {
        if (row >= static_cast<int>(racines_.size()))
            return {};
        return createIndex(row, 0, racines_[static_cast<size_t>(row)]);
    }
    if (parent.column() != 0)
        return {};
    const Noeud* noeud = Resoudre(parent).N;
    if (!noeud || row >= noeud->NombreEnfants())
        return {};
    if (noeud->AttenteVirtuelle())
        return createIndex(0, 0, Marquer(noeud));
    return createIndex(row, 0, noeud->Enfants[static_cast<size_t>(row)]);
}

QModelIndex ModeleArbre::parent(const QModelIndex& child) const
{
    if (!child.isValid())
        return {};
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
    return noeud ? noeud->NombreEnfants() : 0;
}

int ModeleArbre::columnCount(const QModelIndex&) const
{
    return 1;
}

QVariant ModeleArbre::data(const QModelIndex& index, int role) const
{
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
    if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return QStringLiteral("Nom");
    return QAbstractItemModel::headerData(section, orientation, role);
}

Qt::ItemFlags ModeleArbre::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
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

void ModeleArbre::SupprimerEnfants(Noeud* noeud)
{
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
    for (const EnfantNoeud& e : enfants)
        liste.push_back(Nouveau(noeuds_, noeud, textes_.Ajouter(e.Texte), e.Image, ligne++));
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
