#include "trees/ArbreCategorie.h"

#include "trees/ModeleArbre.h"
#include "widgets/ListeImages.h"

#include <QContextMenuEvent>
#include <QDrag>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMimeData>
#include <QStyledItemDelegate>
#include <QTimer>

#include <algorithm>
#include <utility>

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

bool EchapSeul(const QKeyEvent* touche)
{
    return touche->key() == Qt::Key_Escape && (touche->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

// The actions menu of the current row, below its icon, as a menu opened by
// the pointer would be.
void DemanderMenuLigneCourante(ArbreCategorie* arbre)
{
    const QModelIndex courant = arbre->currentIndex();
    if (!courant.isValid())
        return;
    arbre->scrollTo(courant);
    const QRect place = arbre->visualRect(courant);
    emit arbre->MenuDemande(
        courant, arbre->viewport()->mapToGlobal(QPoint(place.left() + arbre->iconSize().width(), place.bottom())));
}

// The tree's keys: Escape closes an open filter (before the window's
// shortcut sees it), Ctrl+C copies, the Menu key and Shift+F10 ask for the
// menu, Ctrl+F or a character typed go to the filter box instead of Qt's
// search by first letters. Any other key is the tree's.
class ClavierArbre : public QObject
{
public:
    explicit ClavierArbre(ArbreCategorie* arbre) : QObject(arbre), arbre_(arbre) { arbre->installEventFilter(this); }

protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override
    {
        if (objet != arbre_)
            return false;
        if (evenement->type() == QEvent::ShortcutOverride && EchapSeul(static_cast<QKeyEvent*>(evenement)) &&
            FiltreOuvert()) {
            evenement->accept();
            return true;
        }
        if (evenement->type() != QEvent::KeyPress)
            return false;
        auto* touche = static_cast<QKeyEvent*>(evenement);
        const bool pris = Prendre(touche);
        if (pris)
            touche->accept();
        return pris;
    }

private:
    bool FiltreOuvert() const { return arbre_->FiltreOuvert && arbre_->FiltreOuvert(); }
    bool Prendre(const QKeyEvent* touche)
    {
        if (EchapSeul(touche) && FiltreOuvert()) {
            emit arbre_->FermetureFiltreDemandee();
            return true;
        }
        if (touche->matches(QKeySequence::Copy)) {
            emit arbre_->CopieDemandee();
            return true;
        }
        const Qt::KeyboardModifiers modificateurs = touche->modifiers() & ~Qt::KeypadModifier;
        if ((touche->key() == Qt::Key_Menu && modificateurs == Qt::NoModifier) ||
            (touche->key() == Qt::Key_F10 && modificateurs == Qt::ShiftModifier)) {
            DemanderMenuLigneCourante(arbre_);
            return true;
        }
        if (touche->matches(QKeySequence::Find)) {
            emit arbre_->FiltreDemande(QString());
            return true;
        }
        const QString saisie = touche->text();
        const bool texte = !(modificateurs & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) &&
                           !saisie.isEmpty() && saisie.at(0).isPrint() && saisie.at(0) != QChar(' ');
        if (texte)
            emit arbre_->FiltreDemande(saisie);
        return texte;
    }

    ArbreCategorie* arbre_;
};

} // namespace

ArbreCategorie::ArbreCategorie(ListeImages* images, CleArbre cle, QWidget* parent)
    : QTreeView(parent), modele_(new ModeleArbre(images, this)), ajouts_(new QTimer(this)), cle_(cle)
{
    ajouts_->setSingleShot(true);
    ajouts_->setInterval(DelaiAjoutsMs);
    // Qt's own delayed layout: at once when shown, else when next shown.
    connect(ajouts_, &QTimer::timeout, this, [this] { scheduleDelayedItemsLayout(); });
    setFrameShape(QFrame::NoFrame);
    setIndentation(Indentation);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Several files (Ctrl or Shift with a click) can be copied or dragged
    // out together; the current row is the one previewed.
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
    setUniformRowHeights(true);
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setIconSize(QSize(ListeImages::Cote, ListeImages::Cote));
    setItemDelegate(new DelegueLigne(this));
    setModel(modele_);
    // The names take the width the size column leaves, which is narrow:
    // no horizontal scroll bar. A reset of the model resets the columns.
    setAllColumnsShowFocus(true);
    header()->setStretchLastSection(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    DisposerColonnes();
    connect(modele_, &QAbstractItemModel::modelReset, this, &ArbreCategorie::DisposerColonnes);
    hide();

    new ClavierArbre(this);

    connect(this, &QTreeView::expanded, this, [this](const QModelIndex& index) {
        // Only group nodes: a node's children are removed only with their
        // tree, or as leaves.
        Noeud* noeud = ModeleArbre::NoeudDe(index);
        if (noeud && noeud->AEnfants())
            deployes_.insert(noeud);
        emit Deploiement(noeud);
    });
    connect(this, &QTreeView::collapsed, this, [this](const QModelIndex& index) {
        Noeud* noeud = ModeleArbre::NoeudDe(index);
        deployes_.erase(noeud);
        emit Repli(noeud);
    });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& courant, const QModelIndex& avant) {
                // The same row in its other column is the same row.
                if (avant.isValid() && courant.internalId() == avant.internalId() && courant.row() == avant.row())
                    return;
                emit ChangementSelection(ModeleArbre::NoeudDe(courant), ModeleArbre::ParentAttenteDe(courant));
            });
}

int ArbreCategorie::LargeurTaille() const
{
    // The longest size text but one of the terabytes, and the cell's margins.
    return fontMetrics().horizontalAdvance(QStringLiteral("1 023 Mo")) + 12;
}

void ArbreCategorie::DisposerColonnes()
{
    header()->setSectionResizeMode(0, QHeaderView::Stretch);
    header()->setSectionResizeMode(ModeleArbre::ColonneTaille, QHeaderView::Fixed);
    header()->resizeSection(ModeleArbre::ColonneTaille, LargeurTaille());
}

void ArbreCategorie::DefinirLignes(Noeud* noeud, int32_t nombre, std::vector<EnfantNoeud> premieres)
{
    if (!noeud)
        return;
    modele_->DefinirLignes(noeud, nombre, std::move(premieres));
    if (nombre > 0)
        Deployer(noeud);
}

Noeud* ArbreCategorie::AjouterRacine(const QString& texte, int image)
{
    return modele_->Ajouter(nullptr, texte, image);
}

Noeud* ArbreCategorie::AjouterEnfant(Noeud* parent, const QString& texte, int image)
{
    return modele_->Ajouter(parent, texte, image);
}

Noeud* ArbreCategorie::AjouterGroupe(Noeud* parent, const QString& texte, int image, int32_t groupe, int imageAttente)
{
    return modele_->AjouterGroupe(parent, texte, image, groupe, imageAttente);
}

void ArbreCategorie::AjouterRacinesAvecAttente(const std::vector<QString>& textes, int image,
                                               const std::vector<int32_t>* groupes)
{
    modele_->AjouterRacinesAvecAttente(textes, image, -1, groupes);
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
    deployes_.clear();
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

bool ArbreCategorie::AjoutsEnAttente() const
{
    return ajouts_->isActive();
}

void ArbreCategorie::rowsInserted(const QModelIndex& parent, int debut, int fin)
{
    // Top-level rows appended below a full viewport: only the scroll bar
    // would change, so the whole layout waits, merged with the next ones.
    const bool ajoutEnFin = !parent.isValid() && debut > 0 && fin == model()->rowCount() - 1;
    if (ajoutEnFin && isVisible() && indexAt(QPoint(0, viewport()->height() - 1)).isValid()) {
        QAbstractItemView::rowsInserted(parent, debut, fin);
        if (!ajouts_->isActive())
            ajouts_->start();
        return;
    }
    QTreeView::rowsInserted(parent, debut, fin);
}

void ArbreCategorie::contextMenuEvent(QContextMenuEvent* evenement)
{
    evenement->accept();
    // A right click comes through the viewport, in its coordinates.
    if (evenement->reason() == QContextMenuEvent::Mouse)
        emit MenuDemande(indexAt(evenement->pos()), evenement->globalPos());
    else
        DemanderMenuLigneCourante(this);
}

void ArbreCategorie::startDrag(Qt::DropActions)
{
    QMimeData* donnees = GlisserDonnees ? GlisserDonnees(selectionModel()->selectedIndexes()) : nullptr;
    if (!donnees)
        return;
    auto* glisser = new QDrag(this);
    glisser->setMimeData(donnees);
    glisser->exec(Qt::CopyAction | Qt::LinkAction, Qt::CopyAction);
}
