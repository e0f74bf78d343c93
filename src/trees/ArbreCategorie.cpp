#include "trees/ArbreCategorie.h"

#include "trees/ModeleArbre.h"
#include "shared/ListeImages.h"

#include <QItemSelectionModel>
#include <QStyledItemDelegate>

#include <algorithm>

namespace {
constexpr int Indentation = 19;

// Rows as tall as an icon and its focus margins, whatever the font: a
// smaller row made the view shrink the icons on dense screens and clip them
// on plain ones.
class DelegueLigne : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize taille = QStyledItemDelegate::sizeHint(option, index);
        taille.setHeight(std::max(taille.height(), ListeImages::Cote + 2));
        return taille;
    }
};
}

ArbreCategorie::ArbreCategorie(ListeImages* images, CleArbre cle, QWidget* parent)
    : QTreeView(parent), modele_(new ModeleArbre(images, this)), cle_(cle)
{
    setFrameShape(QFrame::NoFrame);
    setIndentation(Indentation);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformRowHeights(true);
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setIconSize(QSize(ListeImages::Cote, ListeImages::Cote));
    setItemDelegate(new DelegueLigne(this));
    setModel(modele_);
    hide();

    connect(this, &QTreeView::expanded, this,
            [this](const QModelIndex& index) { emit Deploiement(ModeleArbre::NoeudDe(index)); });
    connect(this, &QTreeView::collapsed, this,
            [this](const QModelIndex& index) { emit Repli(ModeleArbre::NoeudDe(index)); });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& courant, const QModelIndex&) {
                emit ChangementSelection(ModeleArbre::NoeudDe(courant), ModeleArbre::ParentAttenteDe(courant));
            });
}

ArbreCategorie::~ArbreCategorie() = default;

Noeud* ArbreCategorie::AjouterRacine(const QString& texte, int image)
{
    return modele_->Ajouter(nullptr, texte, image);
}

Noeud* ArbreCategorie::AjouterEnfant(Noeud* parent, const QString& texte, int image)
{
    return modele_->Ajouter(parent, texte, image);
}

Noeud* ArbreCategorie::AjouterGroupe(Noeud* parent, const QString& texte, int image, int32_t groupe,
                                     int imageAttente)
{
    return modele_->AjouterGroupe(parent, texte, image, groupe, imageAttente);
}

void ArbreCategorie::AjouterRacinesAvecAttente(const std::vector<QString>& textes, int image)
{
    modele_->AjouterRacinesAvecAttente(textes, image, -1);
}

void ArbreCategorie::RemplacerEnfants(Noeud* noeud, const std::vector<EnfantNoeud>& enfants)
{
    if (!noeud)
        return;
    modele_->SupprimerEnfants(noeud);
    modele_->AjouterEnfants(noeud, enfants);
    if (!enfants.empty())
        Deployer(noeud);
}

void ArbreCategorie::ChangerImage(Noeud* noeud, int image)
{
    modele_->ChangerImage(noeud, image);
}

void ArbreCategorie::ToutSupprimer()
{
    ++generation_;
    modele_->ToutSupprimer();
}

int ArbreCategorie::NombreRacines() const
{
    return modele_->NombreRacines();
}

Noeud* ArbreCategorie::Racine(int index) const
{
    return modele_->Racine(index);
}

void ArbreCategorie::DefinirShowRoot(bool montrer)
{
    setRootIsDecorated(montrer);
}

bool ArbreCategorie::ShowRoot() const
{
    return rootIsDecorated();
}

Noeud* ArbreCategorie::NoeudSelectionne() const
{
    const QModelIndex courant = selectionModel()->currentIndex();
    if (!courant.isValid() || !selectionModel()->isSelected(courant))
        return nullptr;
    return ModeleArbre::NoeudDe(courant);
}

void ArbreCategorie::Selectionner(Noeud* noeud)
{
    const QModelIndex index = modele_->IndexDe(noeud);
    if (index.isValid())
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    else
        Deselectionner();
}

void ArbreCategorie::Deselectionner()
{
    selectionModel()->clear();
}

void ArbreCategorie::Deployer(Noeud* noeud)
{
    const QModelIndex index = modele_->IndexDe(noeud);
    if (index.isValid())
        expand(index);
}
