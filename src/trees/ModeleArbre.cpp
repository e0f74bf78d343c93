#include "trees/ModeleArbre.h"

#include "ui/ListeImages.h"

#include <QPixmap>

ModeleArbre::ModeleArbre(ListeImages* images, QObject* parent) : QAbstractItemModel(parent), images_(images)
{
}

ModeleArbre::~ModeleArbre() = default;

Noeud* ModeleArbre::NoeudDe(const QModelIndex& index)
{
    return index.isValid() ? static_cast<Noeud*>(index.internalPointer()) : nullptr;
}

QModelIndex ModeleArbre::IndexDe(const Noeud* noeud) const
{
    if (!noeud)
        return {};
    return createIndex(noeud->Index, 0, const_cast<Noeud*>(noeud));
}

std::vector<std::unique_ptr<Noeud>>& ModeleArbre::Liste(Noeud* parent)
{
    return parent ? parent->Enfants : racines_;
}

const std::vector<std::unique_ptr<Noeud>>* ModeleArbre::Liste(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return &racines_;
    if (parent.column() != 0)
        return nullptr;
    return &NoeudDe(parent)->Enfants;
}

QModelIndex ModeleArbre::index(int row, int column, const QModelIndex& parent) const
{
    const auto* liste = Liste(parent);
    if (!liste || column != 0 || row < 0 || row >= static_cast<int>(liste->size()))
        return {};
    return createIndex(row, 0, (*liste)[static_cast<size_t>(row)].get());
}

QModelIndex ModeleArbre::parent(const QModelIndex& child) const
{
    const Noeud* noeud = NoeudDe(child);
    return noeud ? IndexDe(noeud->Parent) : QModelIndex();
}

int ModeleArbre::rowCount(const QModelIndex& parent) const
{
    const auto* liste = Liste(parent);
    return liste ? static_cast<int>(liste->size()) : 0;
}

int ModeleArbre::columnCount(const QModelIndex&) const
{
    return 1;
}

bool ModeleArbre::hasChildren(const QModelIndex& parent) const
{
    const auto* liste = Liste(parent);
    return liste && !liste->empty();
}

QVariant ModeleArbre::data(const QModelIndex& index, int role) const
{
    const Noeud* noeud = NoeudDe(index);
    if (!noeud)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return noeud->Texte;
    case Qt::DecorationRole:
        if (images_ && noeud->Image >= 0 && noeud->Image < images_->Nombre())
            return images_->Image(noeud->Image);
        return {};
    default:
        return {};
    }
}

Qt::ItemFlags ModeleArbre::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

Noeud* ModeleArbre::Ajouter(Noeud* parent, const QString& texte, int image)
{
    auto& liste = Liste(parent);
    const int ligne = static_cast<int>(liste.size());
    beginInsertRows(IndexDe(parent), ligne, ligne);
    auto noeud = std::make_unique<Noeud>();
    noeud->Texte = texte;
    noeud->Image = image;
    noeud->Parent = parent;
    noeud->Index = ligne;
    Noeud* resultat = noeud.get();
    liste.push_back(std::move(noeud));
    endInsertRows();
    return resultat;
}

void ModeleArbre::AjouterRacinesAvecEnfant(const std::vector<QString>& textes, int image,
                                          const QString& texteEnfant, int imageEnfant)
{
    if (textes.empty())
        return;
    const int premier = static_cast<int>(racines_.size());
    beginInsertRows({}, premier, premier + static_cast<int>(textes.size()) - 1);
    racines_.reserve(racines_.size() + textes.size());
    int ligne = premier;
    for (const QString& texte : textes) {
        auto noeud = std::make_unique<Noeud>();
        noeud->Texte = texte;
        noeud->Image = image;
        noeud->Index = ligne++;
        auto enfant = std::make_unique<Noeud>();
        enfant->Texte = texteEnfant;   // shared, not copied
        enfant->Image = imageEnfant;
        enfant->Parent = noeud.get();
        noeud->Enfants.push_back(std::move(enfant));
        racines_.push_back(std::move(noeud));
    }
    endInsertRows();
}

void ModeleArbre::SupprimerEnfants(Noeud* noeud)
{
    auto& liste = Liste(noeud);
    if (liste.empty())
        return;
    beginRemoveRows(IndexDe(noeud), 0, static_cast<int>(liste.size()) - 1);
    liste.clear();
    liste.shrink_to_fit();
    endRemoveRows();
}

void ModeleArbre::AjouterEnfants(Noeud* noeud, const std::vector<EnfantNoeud>& enfants)
{
    if (enfants.empty())
        return;
    auto& liste = Liste(noeud);
    const int premier = static_cast<int>(liste.size());
    beginInsertRows(IndexDe(noeud), premier, premier + static_cast<int>(enfants.size()) - 1);
    liste.reserve(liste.size() + enfants.size());
    int ligne = premier;
    for (const EnfantNoeud& e : enfants) {
        auto enfant = std::make_unique<Noeud>();
        enfant->Texte = e.Texte;
        enfant->Image = e.Image;
        enfant->Parent = noeud;
        enfant->Index = ligne++;
        liste.push_back(std::move(enfant));
    }
    endInsertRows();
}

void ModeleArbre::ChangerImage(Noeud* noeud, int image)
{
    if (!noeud || noeud->Image == image)
        return;
    noeud->Image = image;
    const QModelIndex i = IndexDe(noeud);
    emit dataChanged(i, i, {Qt::DecorationRole});
}

void ModeleArbre::ToutSupprimer()
{
    beginResetModel();
    racines_.clear();
    racines_.shrink_to_fit();
    endResetModel();
}

Noeud* ModeleArbre::Racine(int index) const
{
    if (index < 0 || index >= NombreRacines())
        return nullptr;
    return racines_[static_cast<size_t>(index)].get();
}
