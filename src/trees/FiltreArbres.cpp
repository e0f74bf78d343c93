#include "trees/FiltreArbres.h"

#include "shared/AppelDiffere.h"
#include "shared/Journal.h"
#include "trees/ArbreCategorie.h"
#include "trees/ConstructeurArbres.h"
#include "trees/RemplissagesArbres.h"
#include "trees/TravailFiltre.h"
#include "trees/VuesArbres.h"

#include <QKeyEvent>
#include <QLineEdit>

#include <algorithm>
#include <climits>

namespace {

constexpr int32_t SansParent = INT32_MIN;

std::pair<int32_t, int32_t> CleOuverte(const Noeud* noeud)
{
    return {noeud->Parent ? noeud->Parent->Groupe : SansParent, noeud->Groupe};
}

// Whether a group node of a filtered tree holds a file kept: every node of
// the directory and extension trees does; in the alphabetical tree, a
// bucket counting one, and "A...Z" when a letter does.
bool GardeUnFichier(const Stockage::Filtre& filtre, Ordre ordre, const Noeud* noeud)
{
    if (ordre != Ordre::Alphabetique)
        return true;
    if (noeud->Groupe >= 0 && noeud->Groupe < Stockage::NombreLettres)
        return filtre.Lettres[static_cast<size_t>(noeud->Groupe)] > 0;
    return std::any_of(filtre.Lettres.begin() + 1, filtre.Lettres.end() - 1, [](int32_t n) { return n > 0; });
}

// Over the top right of the trees (they stand at 115, 104, 292 × 313).
const QRect PlaceBoite(247, 105, 159, 22);

// Escape closes the box; Enter and Down hand the keys to the tree.
class BoiteFiltre : public QLineEdit
{
public:
    BoiteFiltre(QWidget* parent, std::function<void()> fermer, std::function<void()> versArbre)
        : QLineEdit(parent), fermer_(std::move(fermer)), versArbre_(std::move(versArbre))
    {}

protected:
    // Escape belongs to the box while it has the focus, before the
    // window's shortcut (which stops a scan) sees it.
    bool event(QEvent* evenement) override
    {
        if (evenement->type() == QEvent::ShortcutOverride &&
            static_cast<QKeyEvent*>(evenement)->key() == Qt::Key_Escape) {
            evenement->accept();
            return true;
        }
        return QLineEdit::event(evenement);
    }
    void keyPressEvent(QKeyEvent* evenement) override
    {
        switch (evenement->key()) {
        case Qt::Key_Escape:
            evenement->accept();
            fermer_();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Down:
            evenement->accept();
            versArbre_();
            return;
        default:
            QLineEdit::keyPressEvent(evenement);
        }
    }

private:
    std::function<void()> fermer_;
    std::function<void()> versArbre_;
};

} // namespace

const QString FiltreArbres::TexteInvite = QStringLiteral("Filtrer par nom…");
const QString FiltreArbres::NomAccessible = QStringLiteral("Filtre des fichiers");

FiltreArbres::FiltreArbres(QWidget* fenetre, VuesArbres& vues, ConstructeurArbres& constructeur,
                           RemplissagesArbres& remplissages, Stockage& stockage)
    : vues_(vues), constructeur_(constructeur), remplissages_(remplissages), stockage_(stockage)
{
    auto versArbre = [this] {
        if (ArbreCategorie* arbre = vues_.ArbreMontre())
            arbre->setFocus(Qt::OtherFocusReason);
    };
    boite_ = new BoiteFiltre(
        fenetre,
        [this, versArbre] {
            Fermer();
            versArbre();
        },
        versArbre);
    boite_->setObjectName("EditFiltre");
    boite_->setGeometry(PlaceBoite);
    boite_->setPlaceholderText(TexteInvite);
    boite_->setAccessibleName(NomAccessible);
    boite_->setClearButtonEnabled(true);
    boite_->setAcceptDrops(false); // drops belong to the window
    boite_->hide();
    connect(boite_, &QLineEdit::textChanged, this, [this] { Relancer(); });

    travail_ = std::make_unique<TravailFiltre>(stockage_, [this](quint64 numero, std::shared_ptr<Stockage::Filtre> f) {
        AppelDiffere(this, [this, numero, f] { Appliquer(numero, f); });
    });
}

FiltreArbres::~FiltreArbres()
{
    travail_.reset(); // joined before the box and the trees go
    delete boite_;    // its keys call back here; gone already with the window
}

void FiltreArbres::Ouvrir(const QString& saisie)
{
    if (!boiteMontrable_)
        return;
    boite_->show();
    boite_->raise();
    boite_->setFocus(Qt::ShortcutFocusReason);
    if (!saisie.isEmpty())
        boite_->insert(saisie);
}

void FiltreArbres::Fermer()
{
    boite_->clear(); // Relancer restores the trees
    boite_->hide();
}

QString FiltreArbres::Texte() const
{
    return boite_->text();
}

bool FiltreArbres::Ouvert() const
{
    return boite_->isVisible();
}

void FiltreArbres::MontrerBoite(bool montrer)
{
    boiteMontrable_ = montrer;
    boite_->setVisible(montrer && !boite_->text().isEmpty());
}

void FiltreArbres::ArbresConstruits()
{
    arbresPrets_ = true;
    Relancer();
}

void FiltreArbres::ArbresEnChangement(bool nouveauScan)
{
    arbresPrets_ = false;
    travail_->Abandonner();
    attendu_ = 0;
    if (nouveauScan) {
        // The trees and the store are emptied: nothing to give back.
        stockage_.RetirerFiltre();
        filtree_ = Categorie::Autre;
        nombre_ = 0;
        return;
    }
    Restaurer();
}

void FiltreArbres::CategorieMontree()
{
    // The three trees of a category are filtered together: another order
    // of the same category shows the filter already applied.
    if (filtree_ == vues_.CategorieAffichee())
        return;
    Restaurer();
    if (!boite_->text().isEmpty())
        Relancer();
}

bool FiltreArbres::RetenirRepertoires(Categorie categorie, int nombre)
{
    if (categorie != filtree_)
        return false;
    racines_ += nombre;
    return true;
}

void FiltreArbres::Relancer()
{
    const QString texte = boite_->text();
    const Categorie categorie = vues_.CategorieAffichee();
    if (texte.isEmpty() || !arbresPrets_ || !CategorieValide(categorie)) {
        travail_->Abandonner();
        attendu_ = 0;
        Restaurer();
        return;
    }
    // The directory roots the tree holds unfiltered: later ones are still
    // on their way to it and are left out.
    int racines = racines_;
    if (filtree_ != categorie) {
        const ArbreCategorie* arbre = vues_.Arbre(categorie, Ordre::Repertoire);
        racines = arbre ? arbre->NombreRacines() : 0;
    }
    attendu_ = travail_->Demander(categorie, texte.toStdString(), racines);
}

void FiltreArbres::Restaurer()
{
    if (filtree_ == Categorie::Autre)
        return;
    const Categorie categorie = filtree_;
    filtree_ = Categorie::Autre;
    nombre_ = 0;
    stockage_.RetirerFiltre();
    Reconstruire(categorie, nullptr);
    Journal::Ecrire(QStringLiteral("filtre aucun"));
    emit FiltreApplique(QString(), -1);
}

void FiltreArbres::Appliquer(quint64 numero, const std::shared_ptr<Stockage::Filtre>& filtre)
{
    if (numero != attendu_ || !arbresPrets_ || filtre->Cat != vues_.CategorieAffichee())
        return; // a newer text, a scan or another zone came meanwhile
    if (filtree_ != filtre->Cat) {
        Restaurer();
        const ArbreCategorie* arbre = vues_.Arbre(filtre->Cat, Ordre::Repertoire);
        racines_ = arbre ? arbre->NombreRacines() : 0;
    }
    filtree_ = filtre->Cat;
    nombre_ = filtre->Nombre;
    stockage_.AppliquerFiltre(filtre->Cat, std::move(filtre->Bits));
    Reconstruire(filtre->Cat, filtre.get());
    Journal::Ecrire(QStringLiteral("filtre texte=%1 retenus=%2").arg(boite_->text()).arg(nombre_));
    emit FiltreApplique(boite_->text(), nombre_);
}

FiltreArbres::Ouverts FiltreArbres::GroupesOuverts(Categorie categorie) const
{
    Ouverts ouverts;
    for (Ordre ordre : Ordres)
        for (const Noeud* noeud : vues_.Arbre(categorie, ordre)->Deployes())
            ouverts[static_cast<size_t>(Code(ordre) - 1)].push_back(CleOuverte(noeud));
    return ouverts;
}

void FiltreArbres::Reconstruire(Categorie categorie, const Stockage::Filtre* filtre)
{
    const Ouverts ouverts = GroupesOuverts(categorie);
    remplissages_.Suspendre();
    constructeur_.ReconstruireCategorie(categorie, filtre, racines_);
    const ArbreCategorie* montre = vues_.ArbreMontre();
    const bool tous =
        filtre && montre && filtre->Nombre <= montre->viewport()->height() / std::max(1, montre->sizeHintForRow(0));
    for (Ordre ordre : Ordres) {
        const auto& cles = ouverts[static_cast<size_t>(Code(ordre) - 1)];
        if (cles.empty() && !tous)
            continue;
        ArbreCategorie* arbre = vues_.Arbre(categorie, ordre);
        auto ouvrir = [&](Noeud* noeud) {
            if (!noeud->AEnfants())
                return;
            if ((tous && GardeUnFichier(*filtre, ordre, noeud)) ||
                std::find(cles.begin(), cles.end(), CleOuverte(noeud)) != cles.end())
                arbre->Deployer(noeud);
        };
        for (int i = 0; i < arbre->NombreRacines(); ++i) {
            Noeud* racine = arbre->Racine(i);
            ouvrir(racine);
            if (ordre == Ordre::Alphabetique && racine->Groupe < 0)
                for (Noeud* lettre : racine->Enfants)
                    ouvrir(lettre);
        }
    }
}
