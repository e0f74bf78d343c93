// The store's views on the real window (offscreen): the count labels, the
// alphabetical skeletons, the by-extension nodes, the by-directory nodes
// published while filing, and node filling through the tree manager.

#include "scan/Stockage.h"

#include "app/Application.h"
#include "scan/ThreadScanneur.h"
#include "scan/ThreadStockage.h"
#include "trees/ArbreCategorie.h"
#include "trees/ThreadTreeView.h"
#include "widgets/Etiquette.h"
#include "ui/TFormPrincipal.h"

#include "support/ArbreTemporaire.h"
#include "support/AvecApplication.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

inline void PrintTo(const QString& texte, std::ostream* sortie)
{
    *sortie << '"' << texte.toStdString() << '"';
}

namespace {

constexpr int Delai = 10000;   // ms: upper bound for the workers, never reached when all is well

std::vector<QString> Textes(const Noeud* parent)
{
    std::vector<QString> textes;
    for (const auto& enfant : parent->Enfants)
        textes.push_back(enfant->Texte);
    return textes;
}

std::vector<QString> Racines(const ArbreCategorie* arbre)
{
    std::vector<QString> textes;
    for (int i = 0; i < arbre->NombreRacines(); ++i)
        textes.push_back(arbre->Racine(i)->Texte);
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
        application_->Arbres.Vider(GestionTreeView::ModeVider::Tous);
        application_->Arbres.PreparerScan();
        Stock().PreparerScan();
        ThreadTreeView arbres(&application_->Arbres);
        ThreadStockage stockage(&Stock());
        ThreadScanneur scan(false, &stockage, racine, &application_->Scan);
        ASSERT_TRUE(QTest::qWaitFor([&] { return arbres.Fini(); }, Delai));
        ASSERT_TRUE(stockage.Termine());
        ASSERT_TRUE(QTest::qWaitFor([&] { return application_->Arbres.LotsEnVol() == 0; }, Delai));
        QApplication::processEvents();
    }

    // Fills a node as an expansion does, and lets the tree apply it.
    void Remplir(int categorie, int ordre, Noeud* noeud)
    {
        ArbreCategorie* arbre = application_->Arbres.Arbre(categorie, ordre);
        Stock().RemplirNoeud(categorie, ordre, noeud, PlaceNoeud::De(noeud), arbre->Generation());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !noeud->AEnfants() || noeud->PremierEnfant()->Texte != "..."; },
                                    Delai));
    }
};

}   // namespace

TEST_F(Vues, EmptyStoreShowsZerosAndBareSkeletons)
{
    Stock().AfficherCompteurs();
    for (Etiquette* etiquette : {f->LabelHomeFichierNbVideo, f->LabelHomeFichierNbSon, f->LabelHomeFichierNbImage,
                                 f->LabelHomeFichierNbTexte, f->LabelHomeFichierNbTotal})
        EXPECT_EQ(etiquette->text(), "0");

    Stock().ConstruireAlphabetique();
    application_->Extensions.RemplirArbresExtension();
    for (int categorie = 1; categorie <= 4; ++categorie) {
        SCOPED_TRACE(categorie);
        const ArbreCategorie* alpha = application_->Arbres.Arbre(categorie, 2);
        ASSERT_EQ(Racines(alpha), (std::vector<QString>{"0...9 (0)", "A...Z", "Special (0)"}));
        for (int i : {0, 2}) {
            EXPECT_EQ(alpha->Racine(i)->Image, 0);
            ASSERT_EQ(Textes(alpha->Racine(i)), std::vector<QString>{"..."});
            EXPECT_EQ(alpha->Racine(i)->PremierEnfant()->Image, -1);
        }
        const Noeud* lettres = alpha->Racine(1);
        EXPECT_EQ(lettres->Image, 0);
        ASSERT_EQ(lettres->Enfants.size(), 26u);
        for (int j = 0; j < 26; ++j) {
            const Noeud* lettre = lettres->Enfants[static_cast<size_t>(j)];
            EXPECT_EQ(lettre->Texte, QString(QChar('A' + j)) + " (0)");
            EXPECT_EQ(lettre->Image, 0);
            ASSERT_EQ(Textes(lettre), std::vector<QString>{"..."});
            EXPECT_EQ(lettre->PremierEnfant()->Image, 0);
        }
        EXPECT_EQ(application_->Arbres.Arbre(categorie, 1)->NombreRacines(), 0);
    }

    // Expanding «A (0)» removes its placeholder and adds nothing.
    Noeud* a = application_->Arbres.Arbre(2, 2)->Racine(1)->Enfants[0];
    Remplir(2, 2, a);
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
    Stock().AfficherCompteurs();
    EXPECT_EQ(f->LabelHomeFichierNbVideo->text(), "1 234");
    EXPECT_EQ(f->LabelHomeFichierNbSon->text(), "5");
    EXPECT_EQ(f->LabelHomeFichierNbImage->text(), "0");
    EXPECT_EQ(f->LabelHomeFichierNbTexte->text(), "0");
    EXPECT_EQ(f->LabelHomeFichierNbTotal->text(), "1 239");
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

    ArbreCategorie* images = application_->Arbres.Arbre(3, 3);
    ArbreCategorie* sons = application_->Arbres.Arbre(2, 3);
    const std::vector<QString> imagesRep = Racines(images);
    ASSERT_EQ(imagesRep.size(), 2u);
    EXPECT_EQ(imagesRep[0], "(1 250) ~");
    EXPECT_EQ(imagesRep[1], "(3) ~/dir");
    const std::vector<QString> sonsRep = Racines(sons);
    ASSERT_EQ(sonsRep.size(), 2u);
    EXPECT_NE(std::find(sonsRep.begin(), sonsRep.end(), "(1) ~/dir"), sonsRep.end());
    EXPECT_NE(std::find(sonsRep.begin(), sonsRep.end(), "(3) ~/Musique"), sonsRep.end());
    EXPECT_EQ(application_->Arbres.Arbre(1, 3)->NombreRacines(), 0);
    EXPECT_EQ(application_->Arbres.Arbre(4, 3)->NombreRacines(), 0);

    // Expanding a directory node sorts its files; a selected file gives its
    // information at the index the fill gave it.
    Noeud* dir = images->Racine(1);
    Remplir(3, 3, dir);
    EXPECT_EQ(Textes(dir), (std::vector<QString>{"eau.jpg", "Ecole.JPG", "été.jpg"}));
    for (const auto& feuille : dir->Enfants)
        EXPECT_EQ(feuille->Image, application_->Extensions.Table()[17].Icone);
    QString nom, ext, taille;
    const std::string chemin =
        Stock().InformationFichier(3, 3, PlaceNoeud::De(dir->Enfants[1]), nom, ext, taille);
    EXPECT_EQ(chemin, arbre.Racine() + "/dir/Ecole.JPG");
    EXPECT_EQ(nom, "Ecole.JPG");
    EXPECT_EQ(ext, "jpg");
    EXPECT_EQ(taille, "1 Ko");

    // The alphabetical and by-extension trees, as at the end of a scan.
    Stock().ConstruireAlphabetique();
    application_->Extensions.RemplirArbresExtension();
    ArbreCategorie* sonsAlpha = application_->Arbres.Arbre(2, 2);
    EXPECT_EQ(Racines(sonsAlpha), (std::vector<QString>{"0...9 (0)", "A...Z", "Special (0)"}));
    Noeud* b = sonsAlpha->Racine(1)->Enfants[1];
    EXPECT_EQ(b->Texte, "B (3)");
    Remplir(2, 2, b);
    EXPECT_EQ(Textes(b), (std::vector<QString>{"Ballade.mid", "beta.wav", "Bravo.mp3"}));
    Stock().InformationFichier(2, 2, PlaceNoeud::De(b->Enfants[2]), nom, ext, taille);
    EXPECT_EQ(nom, "Bravo.mp3");
    EXPECT_EQ(Racines(application_->Arbres.Arbre(3, 2))[0], "0...9 (0)");
    EXPECT_EQ(application_->Arbres.Arbre(3, 2)->Racine(1)->Enfants[4]->Texte, "E (3)");
    EXPECT_EQ(application_->Arbres.Arbre(3, 2)->Racine(1)->Enfants[15]->Texte, "P (1250)");

    EXPECT_EQ(Racines(application_->Arbres.Arbre(3, 1)), (std::vector<QString>{"(3) jpg", "(1 250) png"}));
    EXPECT_EQ(Racines(application_->Arbres.Arbre(2, 1)),
              (std::vector<QString>{"(2) mp3", "(1) wav", "(1) mid"}));
    Noeud* jpg = application_->Arbres.Arbre(3, 1)->Racine(0);
    Remplir(3, 1, jpg);
    EXPECT_EQ(Textes(jpg), (std::vector<QString>{"eau.jpg", "Ecole.JPG", "été.jpg"}));
    Stock().InformationFichier(3, 1, PlaceNoeud::De(jpg->Enfants[0]), nom, ext, taille);
    EXPECT_EQ(nom, "eau.jpg");
}
