// The tree view and its model, on real widgets.

#include "trees/ArbreCategorie.h"

#include "trees/GestionTreeView.h"
#include "trees/ModeleArbre.h"
#include "widgets/ListeImages.h"
#include "support/Attendre.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

constexpr int ImageFerme = 0;
constexpr int ImageOuvert = 1;

// Collects the warnings of QAbstractItemModelTester while alive.
class CapteurAvertissements
{
public:
    CapteurAvertissements() { precedent_ = qInstallMessageHandler(&CapteurAvertissements::Gerer); }
    ~CapteurAvertissements() { qInstallMessageHandler(precedent_); }
    static QStringList& Messages()
    {
        static QStringList messages;
        return messages;
    }

private:
    static void Gerer(QtMsgType type, const QMessageLogContext& contexte, const QString& message)
    {
        if (type != QtDebugMsg && contexte.category && QByteArray(contexte.category) == "qt.modeltest")
            Messages() << message;
    }
    QtMessageHandler precedent_;
};

class ArbreCategorieTest : public ::testing::Test
{
protected:
    ArbreCategorieTest() : arbre_(&images_, CleArbre{Categorie::Son, Ordre::Repertoire}, nullptr)
    {
        QImage carre(ListeImages::Cote, ListeImages::Cote, QImage::Format_RGB32);
        carre.fill(Qt::yellow);
        images_.Ajouter(carre);
        images_.Ajouter(carre);
        arbre_.resize(292, 313);
    }

    QAbstractItemModel* Modele() { return arbre_.model(); }

    // Walks every node and checks that each index leads back to its node.
    void VerifierCoherence()
    {
        std::function<void(const QModelIndex&, const Noeud*)> parcourir = [&](const QModelIndex& parent,
                                                                              const Noeud* noeudParent) {
            const int lignes = Modele()->rowCount(parent);
            for (int ligne = 0; ligne < lignes; ++ligne) {
                const QModelIndex index = Modele()->index(ligne, 0, parent);
                ASSERT_TRUE(index.isValid());
                EXPECT_EQ(Modele()->parent(index), parent);
                const Noeud* noeud = ModeleArbre::NoeudDe(index);
                if (!noeud) {
                    // A "..." row: no node, it stands for its parent's placeholder.
                    ASSERT_NE(noeudParent, nullptr);
                    EXPECT_TRUE(noeudParent->AttenteVirtuelle());
                    EXPECT_EQ(ModeleArbre::ParentAttenteDe(index), noeudParent);
                    EXPECT_EQ(Modele()->data(index, Qt::DisplayRole).toString(), "...");
                    EXPECT_EQ(Modele()->rowCount(index), 0);
                    continue;
                }
                EXPECT_EQ(noeud->Index, ligne);
                EXPECT_EQ(noeud->Parent, noeudParent);
                EXPECT_EQ(arbre_.Modele()->IndexDe(noeud), index);
                EXPECT_EQ(Modele()->data(index, Qt::DisplayRole).toString(), noeud->Texte);
                EXPECT_EQ(noeud->NombreEnfants(), Modele()->rowCount(index));
                EXPECT_EQ(noeud->AEnfants(), Modele()->hasChildren(index));
                if (noeud->AttenteVirtuelle()) {
                    EXPECT_TRUE(noeud->Enfants.empty());
                }
                parcourir(index, noeud);
            }
        };
        parcourir({}, nullptr);
    }

    ListeImages images_;
    ArbreCategorie arbre_;
};

TEST_F(ArbreCategorieTest, StartsHiddenBorderlessReadOnlyWithoutRootLines)
{
    EXPECT_TRUE(arbre_.isHidden());
    EXPECT_EQ(arbre_.frameShape(), QFrame::NoFrame);
    EXPECT_EQ(arbre_.indentation(), 19);
    EXPECT_EQ(arbre_.editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_TRUE(arbre_.isHeaderHidden());
    EXPECT_FALSE(arbre_.ShowRoot());
    EXPECT_EQ(arbre_.Tag(), 23);
    arbre_.DefinirShowRoot(true);
    EXPECT_TRUE(arbre_.rootIsDecorated());

    Noeud* noeud = arbre_.AjouterRacine("a", ImageFerme);
    EXPECT_FALSE(Modele()->flags(Modele()->index(0, 0)) & Qt::ItemIsEditable);
    arbre_.show();
    arbre_.setCurrentIndex(Modele()->index(0, 0));
    QTest::keyClick(arbre_.viewport(), Qt::Key_F2);
    EXPECT_TRUE(arbre_.viewport()->findChildren<QLineEdit*>().isEmpty());
    EXPECT_EQ(noeud->Texte, "a");
}

TEST_F(ArbreCategorieTest, ThreeLevelsStayConsistentThroughEveryEdit)
{
    CapteurAvertissements capteur;
    CapteurAvertissements::Messages().clear();
    QAbstractItemModelTester testeur(Modele(), QAbstractItemModelTester::FailureReportingMode::Warning);

    Noeud* a = arbre_.AjouterRacine("A...Z", ImageFerme);
    Noeud* lettreA = arbre_.AjouterGroupe(a, "A (2)", ImageFerme, 1, ImageFerme);
    Noeud* lettreB = arbre_.AjouterGroupe(a, "B (1)", ImageFerme, 2, ImageFerme);
    EXPECT_EQ(lettreB->Groupe, 2);
    EXPECT_EQ(Modele()->index(0, 0, arbre_.Modele()->IndexDe(lettreB)).data(Qt::DecorationRole).isValid(), true);
    arbre_.AjouterRacinesAvecAttente({"(3) ~/Photos", "(1) ~/Musique"}, ImageFerme);
    EXPECT_EQ(arbre_.NombreRacines(), 3);
    EXPECT_EQ(lettreB->Niveau(), 1);
    EXPECT_EQ(lettreB->Index, 1);
    VerifierCoherence();

    arbre_.RemplacerEnfants(lettreA, {{"alpha.jpg", 2}, {"avion.jpg", 3}});
    EXPECT_TRUE(arbre_.isExpanded(arbre_.Modele()->IndexDe(lettreA)));
    ASSERT_EQ(lettreA->Enfants.size(), 2u);
    EXPECT_EQ(lettreA->Enfants[1]->Niveau(), 2);
    EXPECT_EQ(lettreA->Enfants[1]->Texte, "avion.jpg");
    VerifierCoherence();

    // A directory group's "..." goes too.
    Noeud* photos = arbre_.Racine(1);
    ASSERT_TRUE(photos->AttenteVirtuelle());
    arbre_.RemplacerEnfants(photos, {{"a.jpg", 2}, {"b.jpg", 2}, {"c.jpg", 2}});
    EXPECT_FALSE(photos->AttenteVirtuelle());
    ASSERT_EQ(photos->NombreEnfants(), 3);
    EXPECT_EQ(photos->Enfants[0]->Texte, "a.jpg");
    VerifierCoherence();

    // An empty fill leaves the group without children.
    arbre_.RemplacerEnfants(lettreB, {});
    EXPECT_TRUE(lettreB->Enfants.empty());
    EXPECT_FALSE(Modele()->hasChildren(arbre_.Modele()->IndexDe(lettreB)));
    VerifierCoherence();

    // Images: the list's picture for a valid index, none for -1 or beyond the list.
    const QModelIndex indexA = arbre_.Modele()->IndexDe(a);
    EXPECT_FALSE(Modele()->data(indexA, Qt::DecorationRole).value<QPixmap>().isNull());
    QSignalSpy changements(Modele(), &QAbstractItemModel::dataChanged);
    arbre_.ChangerImage(a, -1);
    ASSERT_EQ(changements.count(), 1);
    EXPECT_EQ(changements[0][0].value<QModelIndex>(), indexA);
    EXPECT_TRUE(changements[0][2].value<QList<int>>().contains(Qt::DecorationRole));
    EXPECT_FALSE(Modele()->data(indexA, Qt::DecorationRole).isValid());
    arbre_.ChangerImage(a, 57);
    EXPECT_FALSE(Modele()->data(indexA, Qt::DecorationRole).isValid());
    arbre_.ChangerImage(a, ImageOuvert);
    EXPECT_EQ(a->Image, ImageOuvert);

    // Out-of-range requests give nothing.
    EXPECT_FALSE(Modele()->index(3, 0).isValid());
    EXPECT_FALSE(Modele()->index(0, 2).isValid());
    EXPECT_FALSE(Modele()->index(-1, 0).isValid());
    EXPECT_EQ(arbre_.Racine(3), nullptr);

    const quint64 generation = arbre_.Generation();
    arbre_.ToutSupprimer();
    EXPECT_EQ(arbre_.Generation(), generation + 1);
    EXPECT_EQ(arbre_.NombreRacines(), 0);
    EXPECT_EQ(Modele()->rowCount(), 0);
    arbre_.AjouterRacine("Patientez  ...", -1);
    VerifierCoherence();
    QApplication::processEvents();

    EXPECT_TRUE(CapteurAvertissements::Messages().isEmpty())
        << CapteurAvertissements::Messages().join('\n').toStdString();
}

TEST_F(ArbreCategorieTest, PlaceholdersAreRowsWithoutNodes)
{
    arbre_.AjouterRacinesAvecAttente({"(1) a", "(2) b", "(3) c"}, ImageFerme);
    for (int i = 0; i < 3; ++i) {
        const Noeud* racine = arbre_.Racine(i);
        ASSERT_EQ(racine->NombreEnfants(), 1);
        EXPECT_TRUE(racine->AEnfants());
        // Nothing stored per root: the "..." is a flag; the group is the row.
        EXPECT_TRUE(racine->Enfants.empty());
        EXPECT_TRUE(racine->AttenteVirtuelle());
        EXPECT_EQ(racine->ImageAttente(), -1);
        EXPECT_EQ(racine->Groupe, i);
        EXPECT_EQ(racine->Image, ImageFerme);

        // The view sees one row below the root.
        const QModelIndex indexRacine = Modele()->index(i, 0);
        ASSERT_EQ(Modele()->rowCount(indexRacine), 1);
        const QModelIndex ligne = Modele()->index(0, 0, indexRacine);
        ASSERT_TRUE(ligne.isValid());
        EXPECT_FALSE(Modele()->index(1, 0, indexRacine).isValid());
        EXPECT_EQ(Modele()->parent(ligne), indexRacine);
        EXPECT_EQ(ligne.data().toString(), "...");
        EXPECT_FALSE(ligne.data(Qt::DecorationRole).isValid());
        EXPECT_FALSE(Modele()->hasChildren(ligne));
        EXPECT_EQ(Modele()->rowCount(ligne), 0);
        EXPECT_EQ(ModeleArbre::NoeudDe(ligne), nullptr);
        EXPECT_EQ(ModeleArbre::ParentAttenteDe(ligne), racine);
        EXPECT_EQ(arbre_.Modele()->IndexAttente(racine), ligne);
    }
}

TEST_F(ArbreCategorieTest, RealChildrenTakeThePlaceOfThePlaceholder)
{
    CapteurAvertissements capteur;
    CapteurAvertissements::Messages().clear();
    QAbstractItemModelTester testeur(Modele(), QAbstractItemModelTester::FailureReportingMode::Warning);
    arbre_.DefinirShowRoot(true);
    arbre_.show();
    arbre_.AjouterRacinesAvecAttente({"(1) a", "(2) b"}, ImageFerme);
    Noeud* b = arbre_.Racine(1);
    arbre_.Deployer(b);

    QSignalSpy retraits(Modele(), &QAbstractItemModel::rowsRemoved);
    QSignalSpy insertions(Modele(), &QAbstractItemModel::rowsInserted);
    Noeud* ajoute = arbre_.AjouterEnfant(b, "x", ImageOuvert);
    ASSERT_NE(ajoute, nullptr);
    EXPECT_EQ(retraits.count(), 1);
    EXPECT_EQ(insertions.count(), 1);
    EXPECT_FALSE(b->AttenteVirtuelle());
    ASSERT_EQ(b->Enfants.size(), 1u);
    EXPECT_EQ(ajoute->Index, 0);
    EXPECT_EQ(Modele()->rowCount(arbre_.Modele()->IndexDe(b)), 1);
    VerifierCoherence();
    QApplication::processEvents();
    EXPECT_TRUE(CapteurAvertissements::Messages().isEmpty())
        << CapteurAvertissements::Messages().join('\n').toStdString();
}

TEST_F(ArbreCategorieTest, ViewSignalsCarryTheirNodeOrPlaceholder)
{
    arbre_.DefinirShowRoot(true);
    arbre_.show();
    arbre_.AjouterRacinesAvecAttente({"(1) a", "(2) b"}, ImageFerme);
    Noeud* b = arbre_.Racine(1);
    QSignalSpy deploiements(&arbre_, &ArbreCategorie::Deploiement);
    QSignalSpy replis(&arbre_, &ArbreCategorie::Repli);
    QSignalSpy selections(&arbre_, &ArbreCategorie::ChangementSelection);

    arbre_.Deployer(b);
    ASSERT_EQ(deploiements.count(), 1);
    EXPECT_EQ(deploiements[0][0].value<Noeud*>(), b);
    arbre_.collapse(arbre_.Modele()->IndexDe(b));
    ASSERT_EQ(replis.count(), 1);
    EXPECT_EQ(replis[0][0].value<Noeud*>(), b);

    // The "..." row of b: no node, its parent comes with the signal.
    const QModelIndex attente = Modele()->index(0, 0, arbre_.Modele()->IndexDe(b));
    ASSERT_TRUE(attente.isValid());
    arbre_.selectionModel()->setCurrentIndex(attente, QItemSelectionModel::ClearAndSelect);
    EXPECT_EQ(arbre_.NoeudSelectionne(), nullptr);
    ASSERT_EQ(selections.count(), 1);
    EXPECT_EQ(selections[0][0].value<Noeud*>(), nullptr);
    EXPECT_EQ(selections[0][1].value<Noeud*>(), b);

    arbre_.Deselectionner();
    EXPECT_EQ(arbre_.NoeudSelectionne(), nullptr);
    ASSERT_EQ(selections.count(), 2);
    EXPECT_EQ(selections[1][0].value<Noeud*>(), nullptr);
    EXPECT_EQ(selections[1][1].value<Noeud*>(), nullptr);
    arbre_.Selectionner(b);
    ASSERT_EQ(selections.count(), 3);
    EXPECT_EQ(selections[2][0].value<Noeud*>(), b);
    EXPECT_EQ(arbre_.NoeudSelectionne(), b);
}

TEST_F(ArbreCategorieTest, RootsAppendedBelowAFullViewAreLaidOutTogetherInOrder)
{
    auto lot = [](int debut) {
        std::vector<QString> textes;
        for (int i = debut; i < debut + 100; ++i)
            textes.push_back(QString("(1) ~/d%1").arg(i));
        return textes;
    };
    auto derniereVue = [this] { // the last row the view can scroll to
        arbre_.scrollToBottom();
        QModelIndex bas;
        for (int y = arbre_.viewport()->height() - 1; y >= 0 && !bas.isValid(); --y)
            bas = arbre_.indexAt(QPoint(0, y));
        return ModeleArbre::NoeudDe(bas);
    };
    arbre_.show();
    arbre_.AjouterRacinesAvecAttente(lot(0), ImageFerme);
    ASSERT_EQ(derniereVue(), arbre_.Racine(99)); // a first screenful shows at once
    arbre_.scrollToTop();
    for (int debut = 100; debut < 500; debut += 100)
        arbre_.AjouterRacinesAvecAttente(lot(debut), ImageFerme);
    EXPECT_TRUE(arbre_.AjoutsEnAttente());
    EXPECT_EQ(derniereVue(), arbre_.Racine(99)); // below a full view: not laid out yet
    ASSERT_TRUE(AttendreQue([this] { return !arbre_.AjoutsEnAttente(); }));
    ASSERT_EQ(derniereVue(), arbre_.Racine(499));
    for (int i = 400; i < 499; ++i)
        EXPECT_EQ(arbre_.indexBelow(arbre_.Modele()->IndexDe(arbre_.Racine(i))),
                  arbre_.Modele()->IndexDe(arbre_.Racine(i + 1)));
}

TEST_F(ArbreCategorieTest, LargeBatchesKeepRowsAndIndexes)
{
    constexpr int Racines = 100000;
    constexpr int Feuilles = 100000;
    arbre_.DefinirShowRoot(true);
    arbre_.show();

    std::vector<QString> textes;
    textes.reserve(Racines);
    for (int i = 0; i < Racines; ++i)
        textes.push_back(QString("(%1) ~/d%1").arg(i));
    QSignalSpy insertions(Modele(), &QAbstractItemModel::rowsInserted);
    arbre_.AjouterRacinesAvecAttente(textes, ImageFerme);
    EXPECT_EQ(insertions.count(), 1);
    ASSERT_EQ(arbre_.NombreRacines(), Racines);
    for (int i : {0, 1, Racines / 2, Racines - 1}) {
        const Noeud* racine = arbre_.Racine(i);
        EXPECT_EQ(racine->Index, i);
        EXPECT_EQ(racine->Texte, textes[static_cast<size_t>(i)]);
        EXPECT_EQ(ModeleArbre::NoeudDe(Modele()->index(i, 0)), racine);
        EXPECT_TRUE(racine->AttenteVirtuelle());
    }
    QApplication::processEvents();

    std::vector<EnfantNoeud> enfants;
    enfants.reserve(Feuilles);
    for (int i = 0; i < Feuilles; ++i)
        enfants.push_back({QString("f%1.mp3").arg(i, 6, 10, QChar('0')), 2});
    Noeud* groupe = arbre_.Racine(Racines - 1);
    insertions.clear();
    QSignalSpy suppressions(Modele(), &QAbstractItemModel::rowsRemoved);
    arbre_.RemplacerEnfants(groupe, enfants);
    EXPECT_EQ(insertions.count(), 1);
    EXPECT_EQ(suppressions.count(), 1);
    ASSERT_EQ(static_cast<int>(groupe->Enfants.size()), Feuilles);
    EXPECT_TRUE(arbre_.isExpanded(arbre_.Modele()->IndexDe(groupe)));
    const QModelIndex indexGroupe = arbre_.Modele()->IndexDe(groupe);
    for (int i : {0, Feuilles / 3, Feuilles - 1}) {
        const QModelIndex feuille = Modele()->index(i, 0, indexGroupe);
        EXPECT_EQ(ModeleArbre::NoeudDe(feuille), groupe->Enfants[static_cast<size_t>(i)]);
        EXPECT_EQ(Modele()->parent(feuille), indexGroupe);
        EXPECT_EQ(feuille.data().toString(), enfants[static_cast<size_t>(i)].Texte);
    }
    QApplication::processEvents();
    // The view lays out every root and the open group's leaves.
    arbre_.scrollToBottom();
    QApplication::processEvents();
    const QModelIndex derniere = Modele()->index(Feuilles - 1, 0, indexGroupe);
    EXPECT_TRUE(arbre_.viewport()->rect().contains(arbre_.visualRect(derniere)));
    EXPECT_EQ(arbre_.indexAt(arbre_.visualRect(derniere).center()), derniere);
}

} // namespace
