// The store's views on the real window (offscreen): the count labels, the
// alphabetical skeletons, the by-extension nodes, the by-directory nodes
// published while filing, and node filling through the tree manager.

#include "scan/Stockage.h"

#include "app/Application.h"
#include "scan/ThreadScanneur.h"
#include "scan/ThreadStockage.h"
#include "trees/ArbreCategorie.h"
#include "trees/ModeleArbre.h"
#include "trees/ConstructeurArbres.h"
#include "trees/FluxRepertoires.h"
#include "widgets/Etiquette.h"
#include "ui/TFormPrincipal.h"

#include "support/InformationTextes.h"
#include "support/LignesNoeud.h"
#include "support/ArbreTemporaire.h"
#include "support/Attendre.h"
#include "support/ConfigTemporaire.h"
#include "support/Codes.h"
#include "support/AvecApplication.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>
#include <ostream>
#include <string>
#include <vector>

inline void PrintTo(const QString& texte, std::ostream* sortie)
{
    *sortie << '"' << texte.toStdString() << '"';
}

namespace {

constexpr int Delai = 10000; // ms: upper bound for the workers, never reached when all is well

std::vector<QString> Racines(const ArbreCategorie* arbre)
{
    std::vector<QString> textes;
    for (int i = 0; i < arbre->NombreRacines(); ++i)
        textes.push_back(arbre->Modele()->Texte(arbre->Racine(i)));
    return textes;
}

class Vues : public AvecApplication
{
protected:
    Stockage& Stock() { return application_->Stock; }

    // A scan by the three workers of the engine and the trees; returns once
    // every by-directory node has reached its tree.
    void Scanner(const std::string& racine)
    {
        Stock().Reinitialiser();
        application_->Arbres.Vues().Vider(GestionTreeView::ModeVider::Tous);
        application_->Arbres.Flux().PreparerScan();
        Stock().PreparerScan();
        ThreadStockage stockage(&Stock());
        ThreadScanneur scan(false, &stockage, racine, &application_->Scan);
        // The store's end tells the stream (through the scan's owner).
        ASSERT_TRUE(QTest::qWaitFor([&] { return stockage.Fini() && application_->Arbres.FinDemandee; }, Delai));
        ASSERT_TRUE(stockage.Termine());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !application_->Arbres.AffichageEnCours(); }, Delai));
        QApplication::processEvents();
    }

    // Fills a node as an expansion does, and lets the tree apply it.
    void Remplir(Categorie categorie, Ordre ordre, Noeud* noeud)
    {
        application_->Arbres.LancerRemplissage({categorie, ordre}, noeud);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !noeud->AttenteVirtuelle(); }, Delai));
    }

    // The information of a file leaf of a tree.
    std::string Information(Categorie categorie, Ordre ordre, const Noeud* feuille, QString& nom, QString& ext,
                            QString& taille)
    {
        return InformationTextes(Stock(), Groupe{{categorie, ordre}, feuille->Parent->Groupe}, feuille->Index, nom, ext,
                                 taille);
    }
};

} // namespace

TEST_F(Vues, EmptyStoreShowsZerosAndBareSkeletons)
{
    application_->Bouton.AfficherCompteurs();
    for (Etiquette* etiquette : {c->LabelHomeFichierNbVideo, c->LabelHomeFichierNbSon, c->LabelHomeFichierNbImage,
                                 c->LabelHomeFichierNbTexte, c->LabelHomeFichierNbTotal})
        EXPECT_EQ(etiquette->text(), "0");

    application_->Arbres.Constructeur().ConstruireAlphabetique();
    application_->Arbres.Constructeur().RemplirArbresExtension();
    for (Categorie categorie : Categories) {
        SCOPED_TRACE(Code(categorie));
        const ArbreCategorie* alpha = application_->Arbres.Arbre(categorie, Ordre::Alphabetique);
        ASSERT_EQ(Racines(alpha), (std::vector<QString>{"0...9 (0)", "A...Z", "Special (0)"}));
        for (int i : {0, 2}) {
            EXPECT_EQ(alpha->Racine(i)->Image, 0);
            ASSERT_EQ(LignesNoeud(alpha->Racine(i)), std::vector<QString>{"..."});
            EXPECT_EQ(alpha->Racine(i)->ImageAttente(), -1);
        }
        const Noeud* lettres = alpha->Racine(1);
        EXPECT_EQ(lettres->Image, 0);
        ASSERT_EQ(lettres->Enfants.size(), 26u);
        for (int j = 0; j < 26; ++j) {
            const Noeud* lettre = lettres->Enfants[static_cast<size_t>(j)];
            EXPECT_EQ(lettre->Texte, QString(QChar('A' + j)) + " (0)");
            EXPECT_EQ(lettre->Image, 0);
            ASSERT_EQ(LignesNoeud(lettre), std::vector<QString>{"..."});
            EXPECT_EQ(lettre->ImageAttente(), 0);
        }
        EXPECT_EQ(application_->Arbres.Arbre(categorie, Ordre::Extension)->NombreRacines(), 0);
    }

    // Expanding «A (0)» removes its placeholder and adds nothing.
    Noeud* a = application_->Arbres.Arbre(Categorie::Son, Ordre::Alphabetique)->Racine(1)->Enfants[0];
    Remplir(Categorie::Son, Ordre::Alphabetique, a);
    EXPECT_TRUE(a->Enfants.empty());
}

TEST_F(Vues, CountLabelsGroupTheirDigits)
{
    std::vector<std::string> videos;
    for (int i = 0; i < 1234; ++i)
        videos.push_back("v" + std::to_string(i) + ".avi");
    Stock().PreparerScan();
    Stock().DefinirRacine(2);
    Stock().EmpilerRepertoire("/r", videos);
    Stock().EmpilerRepertoire("/r/s", {"1.mp3", "2.wav", "3.ogg", "4.mid", "5.mp4"});
    Stock().MarquerFinParcours();
    {
        ThreadStockage stockage(&Stock());
        ASSERT_TRUE(QTest::qWaitFor([&] { return stockage.Fini(); }, Delai));
    }
    application_->Bouton.AfficherCompteurs();
    EXPECT_EQ(c->LabelHomeFichierNbVideo->text(), "1 234");
    EXPECT_EQ(c->LabelHomeFichierNbSon->text(), "5");
    EXPECT_EQ(c->LabelHomeFichierNbImage->text(), "0");
    EXPECT_EQ(c->LabelHomeFichierNbTexte->text(), "0");
    EXPECT_EQ(c->LabelHomeFichierNbTotal->text(), "1 239");
}

TEST_F(Vues, AScanPublishesItsDirectoriesAndFillsTheTrees)
{
    ArbreTemporaire arbre;
    for (int i = 0; i < 1250; ++i)
        arbre.Fichier("p" + std::to_string(i) + ".png");
    for (const char* nom : {"dir/été.jpg", "dir/eau.jpg", "dir/Ecole.JPG", "dir/chant.mp3", "dir/notes.zip",
                            "Musique/Bravo.mp3", "Musique/beta.wav", "Musique/Ballade.mid", "Vide/rien.zip"})
        arbre.Fichier(nom, 1500);
    Scanner(arbre.Racine());

    ArbreCategorie* images = application_->Arbres.Arbre(Categorie::Image, Ordre::Repertoire);
    ArbreCategorie* sons = application_->Arbres.Arbre(Categorie::Son, Ordre::Repertoire);
    const std::vector<QString> imagesRep = Racines(images);
    ASSERT_EQ(imagesRep.size(), 2u);
    EXPECT_EQ(imagesRep[0], "(1 250) ~");
    EXPECT_EQ(imagesRep[1], "(3) ~/dir");
    const std::vector<QString> sonsRep = Racines(sons);
    ASSERT_EQ(sonsRep.size(), 2u);
    EXPECT_NE(std::find(sonsRep.begin(), sonsRep.end(), "(1) ~/dir"), sonsRep.end());
    EXPECT_NE(std::find(sonsRep.begin(), sonsRep.end(), "(3) ~/Musique"), sonsRep.end());
    EXPECT_EQ(application_->Arbres.Arbre(Categorie::Video, Ordre::Repertoire)->NombreRacines(), 0);
    EXPECT_EQ(application_->Arbres.Arbre(Categorie::Texte, Ordre::Repertoire)->NombreRacines(), 0);

    // Expanding a directory node sorts its files; a selected file gives its
    // information at the index the fill gave it.
    Noeud* dir = images->Racine(1);
    Remplir(Categorie::Image, Ordre::Repertoire, dir);
    EXPECT_EQ(LignesNoeud(dir), (std::vector<QString>{"eau.jpg", "Ecole.JPG", "été.jpg"}));
    for (const auto& feuille : dir->Enfants)
        EXPECT_EQ(feuille->Image, application_->Extensions.Table()[17].Icone);
    QString nom, ext, taille;
    const std::string chemin = Information(Categorie::Image, Ordre::Repertoire, dir->Enfants[1], nom, ext, taille);
    EXPECT_EQ(chemin, arbre.Racine() + "/dir/Ecole.JPG");
    EXPECT_EQ(nom, "Ecole.JPG");
    EXPECT_EQ(ext, "jpg");
    EXPECT_EQ(taille, "1 Ko");

    // The alphabetical and by-extension trees, as at the end of a scan.
    application_->Arbres.Constructeur().ConstruireAlphabetique();
    application_->Arbres.Constructeur().RemplirArbresExtension();
    ArbreCategorie* sonsAlpha = application_->Arbres.Arbre(Categorie::Son, Ordre::Alphabetique);
    EXPECT_EQ(Racines(sonsAlpha), (std::vector<QString>{"0...9 (0)", "A...Z", "Special (0)"}));
    Noeud* b = sonsAlpha->Racine(1)->Enfants[1];
    EXPECT_EQ(b->Texte, "B (3)");
    Remplir(Categorie::Son, Ordre::Alphabetique, b);
    EXPECT_EQ(LignesNoeud(b), (std::vector<QString>{"Ballade.mid", "beta.wav", "Bravo.mp3"}));
    Information(Categorie::Son, Ordre::Alphabetique, b->Enfants[2], nom, ext, taille);
    EXPECT_EQ(nom, "Bravo.mp3");
    EXPECT_EQ(Racines(application_->Arbres.Arbre(Categorie::Image, Ordre::Alphabetique))[0], "0...9 (0)");
    EXPECT_EQ(application_->Arbres.Arbre(Categorie::Image, Ordre::Alphabetique)->Racine(1)->Enfants[4]->Texte, "E (3)");
    EXPECT_EQ(application_->Arbres.Arbre(Categorie::Image, Ordre::Alphabetique)->Racine(1)->Enfants[15]->Texte,
              "P (1250)");

    EXPECT_EQ(Racines(application_->Arbres.Arbre(Categorie::Image, Ordre::Extension)),
              (std::vector<QString>{"(3) jpg", "(1 250) png"}));
    EXPECT_EQ(Racines(application_->Arbres.Arbre(Categorie::Son, Ordre::Extension)),
              (std::vector<QString>{"(2) mp3", "(1) wav", "(1) mid"}));
    Noeud* jpg = application_->Arbres.Arbre(Categorie::Image, Ordre::Extension)->Racine(0);
    Remplir(Categorie::Image, Ordre::Extension, jpg);
    EXPECT_EQ(LignesNoeud(jpg), (std::vector<QString>{"eau.jpg", "Ecole.JPG", "été.jpg"}));
    Information(Categorie::Image, Ordre::Extension, jpg->Enfants[0], nom, ext, taille);
    EXPECT_EQ(nom, "eau.jpg");
}

TEST_F(Vues, DirectoryNodesShowTheStoreTextsWithoutKeepingThem)
{
    ArbreTemporaire arbre;
    arbre.Fichier("d\xE9j\xE0/un.jpg"); // not UTF-8
    arbre.Fichier("d\xE9j\xE0/deux.png");
    arbre.Fichier("a.jpg");
    Scanner(arbre.Racine());

    ArbreCategorie* images = application_->Arbres.Arbre(Categorie::Image, Ordre::Repertoire);
    ASSERT_EQ(images->NombreRacines(), 2);
    const int d = Racines(images)[0] == "(1) ~" ? 1 : 0;
    const QModelIndex ligne = images->Modele()->IndexDe(images->Racine(d));
    EXPECT_EQ(ligne.data().toString(), QStringLiteral("(2) ~/d\uFFFDj\uFFFD"));
    EXPECT_TRUE(images->Racine(d)->Texte.EstVide());

    // A filtered tree shows the counts of the files kept, and the whole
    // counts again once the filter is gone.
    const std::vector<QString> avant = Racines(images);
    Stockage::Filtre filtre;
    ASSERT_TRUE(Stock().Filtrer(
        Categorie::Image, "un", 1000, [] { return false; }, filtre));
    application_->Arbres.Constructeur().ReconstruireCategorie(Categorie::Image, &filtre, images->NombreRacines());
    EXPECT_EQ(Racines(images), (std::vector<QString>{QStringLiteral("(1) ~/d\uFFFDj\uFFFD")}));
    application_->Arbres.Constructeur().ReconstruireCategorie(Categorie::Image, nullptr, 2);
    EXPECT_EQ(Racines(images), avant);
}

TEST(ArbresExtension, OneNodePerExtensionFoundInTableOrder)
{
    ConfigTemporaire config;
    Application application;
    application.Preparer();

    // Met in the order png, JPG, gif, jpg, jpeg, mp3: listed by table order.
    Stockage& stock = application.Stock;
    stock.PreparerScan();
    stock.DefinirRacine(5);
    stock.EmpilerRepertoire("/data", {"z.png", "A.JPG", "c.gif", "b.jpg", "d.jpeg", "x.zip", "s.mp3"});
    stock.EmpilerRepertoire("/data/2", {"e.png", "f.jpg"});
    stock.MarquerFinParcours();
    {
        ThreadStockage travailleur(&stock);
        ASSERT_TRUE(AttendreSansEvenements([&] { return travailleur.Fini(); }, Delai));
        ASSERT_TRUE(travailleur.Termine());
    }

    application.Arbres.Constructeur().ConstruireAlphabetique();
    application.Arbres.Constructeur().RemplirArbresExtension();

    auto racines = [&application](ArbreCategorie* arbre) {
        std::vector<QString> textes;
        for (int i = 0; i < arbre->NombreRacines(); ++i) {
            const Noeud* noeud = arbre->Racine(i);
            textes.push_back(noeud->Texte);
            EXPECT_EQ(noeud->Image, 0);
            EXPECT_TRUE(noeud->AttenteVirtuelle());
            EXPECT_EQ(noeud->ImageAttente(), -1);
            // The group is the extension's row in the table.
            EXPECT_TRUE(noeud->Texte.Chaine().endsWith(
                QString::fromStdString(" " + application.Extensions.Table()[static_cast<size_t>(noeud->Groupe)].Ext)));
        }
        return textes;
    };
    const Composants c(application);
    EXPECT_EQ(racines(c.TreeViewImageExt), (std::vector<QString>{"(3) jpg", "(1) jpeg", "(1) gif", "(2) png"}));
    EXPECT_EQ(racines(c.TreeViewSonExt), (std::vector<QString>{"(1) mp3"}));
    EXPECT_TRUE(racines(c.TreeViewVideoExt).empty());
    EXPECT_TRUE(racines(c.TreeViewTexteExt).empty());
}
