// The tree manager on the real main window: placeholders, visible orders,
// fills handed over from other threads and the "Par Répertoire" worker.

#include "trees/GestionTreeView.h"

#include "app/Application.h"
#include "shared/Option.h"
#include "trees/ArbreCategorie.h"
#include "trees/ModeleArbre.h"
#include "trees/FluxRepertoires.h"
#include "trees/RemplissagesArbres.h"
#include "widgets/Etiquette.h"
#include "ui/GestionMenu.h"
#include "ui/GestionProgressBar.h"
#include "ui/TFormPrincipal.h"

#include "support/Composants.h"

#include "support/LignesNoeud.h"
#include "support/Attendre.h"
#include "support/ConfigTemporaire.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QSignalBlocker>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int Video = 1;
constexpr int Son = 2;
constexpr int Image = 3;
constexpr int Texte = 4;
constexpr int ParExtension = 1;
constexpr int ParAlphabet = 2;
constexpr int ParRepertoire = 3;
constexpr int DelaiMaxMs = 20000;

// Runs the event loop until the condition holds or the delay runs out.
bool Attendre(const std::function<bool()>& condition, int delaiMs = DelaiMaxMs)
{
    return AttendreQue(condition, delaiMs);
}

// The codes the tests loop over, as the program names them.
Categorie Cat(int code)
{
    return static_cast<Categorie>(code);
}

Ordre Ord(int code)
{
    return static_cast<Ordre>(code);
}

// The program's own managers and windows, wired as at start-up, with
// settings of their own.
class GestionTreeViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        config_ = std::make_unique<ConfigTemporaire>();
        application_ = std::make_unique<Application>();
        application_->Preparer();
        fenetre_ = std::make_unique<Composants>(*application_);
        arbres_ = &application_->Arbres;
        option_ = &application_->Options;
        barre_ = &application_->Barre;
        menu_ = &application_->Menu;
    }
    void TearDown() override
    {
        fenetre_.reset();
        application_.reset();
        config_.reset();
    }

    ArbreCategorie* A(int categorie, int ordre) { return arbres_->Arbre(Cat(categorie), Ord(ordre)); }
    Etiquette* Label() { return fenetre_->LabelEnCourAffichage; }
    QComboBox* Combo() { return fenetre_->ComboBoxChoixTrie; }
    // Visible as a component, whether or not the window is on screen.
    static bool Visible(const QWidget* w) { return !w->isHidden(); }

    std::unique_ptr<ConfigTemporaire> config_;
    std::unique_ptr<Application> application_;
    std::unique_ptr<Composants> fenetre_;
    GestionTreeView* arbres_ = nullptr;
    Option* option_ = nullptr;
    GestionProgressBar* barre_ = nullptr;
    GestionMenu* menu_ = nullptr;
};

TEST_F(GestionTreeViewTest, TreesAreFoundByCategoryAndOrder)
{
    for (int c = Video; c <= Texte; ++c)
        for (int o = ParExtension; o <= ParRepertoire; ++o) {
            ASSERT_NE(A(c, o), nullptr);
            EXPECT_EQ(A(c, o)->Cle(), (CleArbre{Cat(c), Ord(o)}));
            EXPECT_EQ(A(c, o), fenetre_->Arbre({Cat(c), Ord(o)}));
        }
    EXPECT_EQ(A(2, 2), fenetre_->TreeViewSonAlpha);
    EXPECT_EQ(A(4, 1), fenetre_->TreeViewTexteExt);
    for (auto [c, o] : {std::pair{0, 1}, {5, 1}, {1, 0}, {1, 5}, {-1, -1}})
        EXPECT_EQ(A(c, o), nullptr);
}

TEST_F(GestionTreeViewTest, StoredOrdersAreKeptOrReplacedByDefaults)
{
    const QString invitation = QStringLiteral("Cliquer sur \" Lancement du Scan \"");
    EXPECT_EQ(invitation.size(), 33);
    auto seuleInvitation = [&] {
        for (int c = Video; c <= Texte; ++c)
            for (int o = ParExtension; o <= ParRepertoire; ++o) {
                ArbreCategorie* arbre = A(c, o);
                ASSERT_EQ(arbre->NombreRacines(), 1);
                EXPECT_EQ(arbre->Racine(0)->Texte, invitation);
                EXPECT_EQ(arbre->Racine(0)->Image, -1);
                EXPECT_TRUE(arbre->Racine(0)->Enfants.empty());
            }
    };
    auto ordres = [&] {
        std::vector<int> codes;
        for (Categorie c : Categories)
            codes.push_back(Code(arbres_->OrdreCourant(c)));
        return codes;
    };
    // Orders as the settings file gives them, then the start-up's set-up.
    auto initialiser = [&](int video, int son, int image, int texte) {
        std::string valeurs;
        for (auto [nom, code] :
             {std::pair{"TreeVideo", video}, {"TreeSon", son}, {"TreeImage", image}, {"TreeTexte", texte}}) {
            char ligne[64];
            std::snprintf(ligne, sizeof ligne, "\"%s\"=dword:%08x\n", nom, static_cast<unsigned>(code));
            valeurs += ligne;
        }
        config_->Ecrire("Windows Registry Editor Version 5.00\n\n"
                        "[HKEY_CURRENT_USER\\Software\\Dudidevir\\Ruvizaro\\1.0]\n" +
                        valeurs);
        ASSERT_TRUE(option_->Charger());
        arbres_->InitialiserOrdres();
    };

    // First run: nothing stored.
    EXPECT_EQ(ordres(), (std::vector<int>{3, 3, 3, 1}));
    seuleInvitation();
    for (int c = Video; c <= Texte; ++c)
        for (int o = ParExtension; o <= ParRepertoire; ++o) {
            EXPECT_FALSE(A(c, o)->ShowRoot());
            EXPECT_TRUE(A(c, o)->isHidden());
        }

    arbres_->Vues().Vider(GestionTreeView::ModeVider::Tous);
    initialiser(1, 2, 3, 2);
    EXPECT_EQ(ordres(), (std::vector<int>{1, 2, 3, 2}));
    seuleInvitation();

    arbres_->Vues().Vider(GestionTreeView::ModeVider::Tous);
    initialiser(0, 7, -1, 4);
    EXPECT_EQ(ordres(), (std::vector<int>{3, 3, 3, 1}));
    // The settings hold the orders in use.
    EXPECT_EQ(option_->TreeSon, Ordre::Repertoire);
    EXPECT_EQ(option_->TreeTexte, Ordre::Extension);
    seuleInvitation();
}

TEST_F(GestionTreeViewTest, EmptyingAndWaitingPlaceholders)
{
    arbres_->InitialiserOrdres();
    arbres_->Vues().Vider(GestionTreeView::ModeVider::Tous);
    for (int c = Video; c <= Texte; ++c)
        for (int o = ParExtension; o <= ParRepertoire; ++o) {
            EXPECT_EQ(A(c, o)->NombreRacines(), 0);
            EXPECT_TRUE(A(c, o)->ShowRoot());
        }

    arbres_->Vues().AfficherPatientez();
    for (int c = Video; c <= Texte; ++c) {
        for (int o : {ParExtension, ParAlphabet}) {
            ASSERT_EQ(A(c, o)->NombreRacines(), 1);
            EXPECT_EQ(A(c, o)->Racine(0)->Texte, QStringLiteral("Patientez  ..."));
            EXPECT_EQ(A(c, o)->Racine(0)->Image, -1);
            EXPECT_FALSE(A(c, o)->ShowRoot());
        }
        EXPECT_EQ(A(c, ParRepertoire)->NombreRacines(), 0);
        EXPECT_TRUE(A(c, ParRepertoire)->ShowRoot());
    }

    // Emptying the eight leaves the "Par Répertoire" trees as they are.
    A(Image, ParRepertoire)->AjouterRacinesAvecAttente({"(2) ~/Photos"}, 0);
    A(Image, ParRepertoire)->DefinirShowRoot(false);
    arbres_->Vues().Vider(GestionTreeView::ModeVider::ExtensionEtAlphabetique);
    for (int c = Video; c <= Texte; ++c)
        for (int o : {ParExtension, ParAlphabet}) {
            EXPECT_EQ(A(c, o)->NombreRacines(), 0);
            EXPECT_TRUE(A(c, o)->ShowRoot());
        }
    ASSERT_EQ(A(Image, ParRepertoire)->NombreRacines(), 1);
    const Noeud* repertoire = A(Image, ParRepertoire)->Racine(0);
    EXPECT_EQ(repertoire->Texte, "(2) ~/Photos");
    EXPECT_EQ(repertoire->Image, 0);
    EXPECT_EQ(LignesNoeud(repertoire), std::vector<QString>{"..."});
    EXPECT_EQ(repertoire->ImageAttente(), -1);
    EXPECT_EQ(repertoire->Groupe, 0);
    EXPECT_FALSE(A(Image, ParRepertoire)->ShowRoot());

    // Nodes added take the image given, on the tree asked for.
    Noeud* groupe = arbres_->Vues().AjouterRacine(Categorie::Son, Ordre::Alphabetique, "0...9 (0)", 0);
    Noeud* enfant = arbres_->Vues().AjouterEnfant(Categorie::Son, Ordre::Alphabetique, "a.mp3", -1, groupe);
    EXPECT_EQ(A(Son, ParAlphabet)->Racine(0), groupe);
    EXPECT_EQ(enfant->Parent, groupe);
    EXPECT_EQ(arbres_->Vues().AjouterRacine(Categorie::Autre, Ordre::Extension, "x", 0), nullptr);
}

TEST_F(GestionTreeViewTest, OrderChoiceShowsOneTreeAndIsRecorded)
{
    arbres_->InitialiserOrdres();
    menu_->AfficherHome(true);
    EXPECT_EQ(option_->TreeSon, Ordre::Repertoire);
    EXPECT_EQ(option_->TreeTexte, Ordre::Extension);

    menu_->AfficherSon(true);
    EXPECT_TRUE(Visible(A(Son, ParRepertoire)));
    EXPECT_FALSE(Visible(A(Son, ParAlphabet)));
    EXPECT_FALSE(Visible(A(Son, ParExtension)));
    EXPECT_EQ(Combo()->currentIndex(), 2);
    EXPECT_FALSE(Visible(Label())); // tag 0: nothing is arriving

    // The user picks "Par Ordre Alphabétique" while a node is selected.
    A(Son, ParRepertoire)->Selectionner(A(Son, ParRepertoire)->Racine(0));
    ASSERT_NE(A(Son, ParRepertoire)->NoeudSelectionne(), nullptr);
    Combo()->setCurrentIndex(1);
    EXPECT_EQ(A(Son, ParRepertoire)->NoeudSelectionne(), nullptr);
    EXPECT_TRUE(Visible(A(Son, ParAlphabet)));
    EXPECT_FALSE(Visible(A(Son, ParRepertoire)));
    EXPECT_FALSE(Visible(A(Son, ParExtension)));
    EXPECT_FALSE(Visible(Label()));
    EXPECT_EQ(arbres_->OrdreCourant(Categorie::Son), Ordre::Alphabetique);
    EXPECT_EQ(option_->TreeSon, Ordre::Alphabetique);
    for (int c : {Video, Image, Texte})
        for (int o = ParExtension; o <= ParRepertoire; ++o)
            EXPECT_FALSE(Visible(A(c, o)));

    // Showing the order already shown leaves the combo alone.
    {
        const QSignalBlocker bloqueur(Combo());
        Combo()->setCurrentIndex(0);
    }
    arbres_->ChangerOrdre(Categorie::Son, Ordre::Alphabetique);
    EXPECT_EQ(Combo()->currentIndex(), 0);
    EXPECT_TRUE(Visible(A(Son, ParAlphabet)));

    // Leaving the zone hides the three trees; coming back shows the order
    // chosen and puts the combo on it without running its handler.
    menu_->AfficherImage(true);
    for (int o = ParExtension; o <= ParRepertoire; ++o)
        EXPECT_FALSE(Visible(A(Son, o)));
    EXPECT_TRUE(Visible(A(Image, ParRepertoire)));
    EXPECT_EQ(Combo()->currentIndex(), 2);
    EXPECT_EQ(option_->TreeSon, Ordre::Alphabetique);
    A(Son, ParAlphabet)->AjouterRacine("A (0)", 0);
    A(Son, ParAlphabet)->Selectionner(A(Son, ParAlphabet)->Racine(1));
    menu_->AfficherSon(true);
    EXPECT_TRUE(Visible(A(Son, ParAlphabet)));
    EXPECT_FALSE(Visible(A(Son, ParRepertoire)));
    EXPECT_EQ(Combo()->currentIndex(), 1);
    EXPECT_EQ(A(Son, ParAlphabet)->NoeudSelectionne(), A(Son, ParAlphabet)->Racine(1));

    // Codes that are no category change nothing.
    for (int code : {0, 5, 7}) {
        arbres_->ChangerOrdre(Cat(code), Ordre::Extension);
        EXPECT_TRUE(Visible(A(Son, ParAlphabet)));
        EXPECT_FALSE(Visible(A(Son, ParExtension)));
    }
    EXPECT_EQ(option_->TreeSon, Ordre::Alphabetique);
}

TEST_F(GestionTreeViewTest, DeselectingClearsEveryTree)
{
    arbres_->InitialiserOrdres();
    A(Video, ParExtension)->Selectionner(A(Video, ParExtension)->Racine(0));
    A(Texte, ParRepertoire)->Selectionner(A(Texte, ParRepertoire)->Racine(0));
    ASSERT_NE(A(Texte, ParRepertoire)->NoeudSelectionne(), nullptr);
    arbres_->Vues().Deselectionner();
    for (int c = Video; c <= Texte; ++c)
        for (int o = ParExtension; o <= ParRepertoire; ++o)
            EXPECT_EQ(A(c, o)->NoeudSelectionne(), nullptr);
}

TEST_F(GestionTreeViewTest, FillsFromAnotherThreadApplyOnlyToLiveNodes)
{
    constexpr int Feuilles = 100000;
    ArbreCategorie* arbre = A(Image, ParAlphabet);
    arbres_->Vues().Vider(GestionTreeView::ModeVider::ExtensionEtAlphabetique);
    Noeud* groupe = arbre->AjouterGroupe(nullptr, "0...9 (100000)", 0, 0, -1);
    Noeud* vide = arbre->AjouterGroupe(nullptr, "Special (0)", 0, 27, -1);

    const quint64 generation = arbre->Generation();
    std::thread travail([&] {
        std::vector<EnfantNoeud> enfants;
        enfants.reserve(Feuilles);
        for (int i = 0; i < Feuilles; ++i)
            enfants.push_back({QString::number(i) + ".jpg", 4});
        arbres_->Remplissages().RemplacerEnfants({Categorie::Image, Ordre::Alphabetique}, groupe, generation,
                                                 std::move(enfants));
        arbres_->Remplissages().RemplacerEnfants({Categorie::Image, Ordre::Alphabetique}, vide, generation, {});
    });
    travail.join();
    EXPECT_TRUE(groupe->AttenteVirtuelle()); // not before the event loop runs
    QApplication::processEvents();
    ASSERT_EQ(static_cast<int>(groupe->Enfants.size()), Feuilles);
    EXPECT_EQ(groupe->Enfants.back()->Texte, QString::number(Feuilles - 1) + ".jpg");
    EXPECT_EQ(groupe->Enfants.back()->Image, 4);
    EXPECT_EQ(groupe->Enfants.back()->Index, Feuilles - 1);
    EXPECT_TRUE(arbre->isExpanded(arbre->model()->index(0, 0)));
    EXPECT_TRUE(vide->Enfants.empty());
    EXPECT_FALSE(vide->AttenteVirtuelle());

    // A fill that arrives after the tree was emptied is dropped: its node is gone.
    Noeud* ancien = arbres_->Vues().AjouterRacine(Categorie::Image, Ordre::Alphabetique, "A (1)", 0);
    const quint64 avant = arbre->Generation();
    arbres_->Vues().Vider(GestionTreeView::ModeVider::ExtensionEtAlphabetique);
    arbres_->Vues().AfficherPatientez();
    std::thread tardif([&] {
        arbres_->Remplissages().RemplacerEnfants({Categorie::Image, Ordre::Alphabetique}, ancien, avant,
                                                 {{"a.jpg", 4}});
    });
    tardif.join();
    QApplication::processEvents();
    ASSERT_EQ(arbre->NombreRacines(), 1);
    EXPECT_EQ(arbre->Racine(0)->Texte, "Patientez  ...");
    EXPECT_TRUE(arbre->Racine(0)->Enfants.empty());
}

// The stream's fixture: a scan with the Son zone shown "Par Répertoire".
class TraitementTest : public GestionTreeViewTest
{
protected:
    void SetUp() override
    {
        GestionTreeViewTest::SetUp();
        arbres_->Vues().Vider(GestionTreeView::ModeVider::Tous);
        arbres_->Vues().AfficherPatientez();
        menu_->AfficherSon(true);
        Flux().DefinirScanActif(true);
        Flux().PreparerScan();
    }
    FluxRepertoires& Flux() { return arbres_->Flux(); }

    // Tells n directory groups from another thread, categories in turn.
    void ClasserDepuisUnAutreFil(int n)
    {
        std::thread producteur([this, n] {
            for (int i = 0; i < n; ++i)
                Flux().RepertoireClasse(Cat(i % 4 + 1));
        });
        producteur.join();
    }
    int TotalRepertoires()
    {
        int total = 0;
        for (int c = Video; c <= Texte; ++c)
            total += A(c, ParRepertoire)->NombreRacines();
        return total;
    }
};

TEST_F(TraitementTest, DirectoryGroupsBecomeRootNodesInFilingOrder)
{
    constexpr int N = 23456;
    ASSERT_TRUE(arbres_->AffichageEnCours());
    EXPECT_TRUE(Visible(Label()));

    ClasserDepuisUnAutreFil(N);
    ASSERT_TRUE(Attendre([&] { return TotalRepertoires() == N; }));
    EXPECT_TRUE(arbres_->AffichageEnCours()); // the scan still runs
    EXPECT_TRUE(Visible(Label()));

    // Another order hides the label, the directory view shows it again.
    arbres_->ChangerOrdre(Categorie::Son, Ordre::Extension);
    EXPECT_FALSE(Visible(Label()));
    EXPECT_EQ(option_->TreeSon, Ordre::Extension);
    arbres_->ChangerOrdre(Categorie::Son, Ordre::Repertoire);
    EXPECT_TRUE(Visible(Label()));
    EXPECT_EQ(option_->TreeSon, Ordre::Repertoire);

    Flux().DefinirScanActif(false);
    Flux().FinScan();
    ASSERT_TRUE(Attendre([&] { return !arbres_->AffichageEnCours() && !Visible(Label()); }));

    for (int c = Video; c <= Texte; ++c) {
        ArbreCategorie* arbre = A(c, ParRepertoire);
        ASSERT_EQ(arbre->NombreRacines(), N / 4 + (c - 1 < N % 4 ? 1 : 0));
        for (int k = 0; k < arbre->NombreRacines(); ++k) {
            const Noeud* noeud = arbre->Racine(k);
            ASSERT_TRUE(noeud->Texte.EstVide()) << "category " << c; // the store's text shows
            EXPECT_EQ(noeud->Index, k);
            EXPECT_EQ(noeud->Image, 0);
            EXPECT_EQ(noeud->Groupe, k);
            ASSERT_EQ(LignesNoeud(noeud), std::vector<QString>{"..."});
            EXPECT_EQ(noeud->ImageAttente(), -1);
        }
    }
    // The eight other trees keep their placeholder.
    EXPECT_EQ(A(Son, ParExtension)->Racine(0)->Texte, "Patientez  ...");
    EXPECT_EQ(A(Son, ParExtension)->NombreRacines(), 1);
}

TEST_F(TraitementTest, ShortScanEndedBeforeTheWindowTakesItsRoots)
{
    ClasserDepuisUnAutreFil(5);
    Flux().FinScan();
    EXPECT_EQ(TotalRepertoires(), 0); // not before the event loop runs
    ASSERT_TRUE(Attendre([&] { return TotalRepertoires() == 5 && !arbres_->AffichageEnCours(); }));
    EXPECT_EQ(A(Video, ParRepertoire)->NombreRacines(), 2);
    EXPECT_FALSE(Visible(Label()));
}

TEST_F(TraitementTest, StoppingMidwayLeavesUsableTreesAndTheNextScanStartsClean)
{
    constexpr int N = 80000;
    ClasserDepuisUnAutreFil(N);
    // One turn of the event loop takes a part of them (a pass handles no
    // call posted during it); the scan is stopped and a new one prepared
    // before the rest.
    QElapsedTimer temps;
    temps.start();
    while (TotalRepertoires() == 0 && temps.elapsed() < DelaiMaxMs)
        QApplication::processEvents();
    Flux().FinScan();
    Flux().PreparerScan();
    QApplication::processEvents();
    const int total = TotalRepertoires();
    EXPECT_GT(total, 0);
    EXPECT_LT(total, N);

    ArbreCategorie* arbre = A(Image, ParRepertoire);
    for (int k = 0; k < arbre->NombreRacines(); ++k) {
        ASSERT_EQ(arbre->Racine(k)->Index, k);
        ASSERT_EQ(arbre->Racine(k)->NombreEnfants(), 1);
    }
    Noeud* dernier = arbre->Racine(arbre->NombreRacines() - 1);
    ASSERT_NE(dernier, nullptr);
    arbre->show();
    arbre->Deployer(dernier);
    const QModelIndex attente = arbre->Modele()->index(0, 0, arbre->Modele()->IndexDe(dernier));
    ASSERT_TRUE(attente.isValid());
    EXPECT_EQ(ModeleArbre::ParentAttenteDe(attente), dernier);
    arbre->selectionModel()->setCurrentIndex(attente, QItemSelectionModel::ClearAndSelect);
    EXPECT_EQ(ModeleArbre::ParentAttenteDe(arbre->selectionModel()->currentIndex()), dernier);

    // The new scan: nothing left over from the stopped one arrives.
    arbres_->Vues().Vider(GestionTreeView::ModeVider::Tous);
    Flux().RepertoireClasse(Categorie::Image);
    Flux().FinScan();
    ASSERT_TRUE(Attendre([&] { return !arbres_->AffichageEnCours(); }));
    QApplication::processEvents();
    EXPECT_EQ(TotalRepertoires(), 1);
    EXPECT_EQ(arbre->NombreRacines(), 1);
}

TEST_F(TraitementTest, RootsOfAnEarlierScanAreDropped)
{
    ClasserDepuisUnAutreFil(100);
    // Their wake-up is posted, and the event loop has not run yet.
    arbres_->Vues().Vider(GestionTreeView::ModeVider::Tous);
    Flux().PreparerScan();
    QApplication::processEvents();
    EXPECT_EQ(TotalRepertoires(), 0);
}

} // namespace
