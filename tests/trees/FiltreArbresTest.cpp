// The filter as you type on the real window (offscreen): keys typed in a
// tree open the box and filter the shown category's three trees, group
// texts counting the files kept; the rows, the paths copied and Escape; the
// filter following a change of order and of zone.

#include "trees/FiltreArbres.h"

#include "trees/ActionsFichiers.h"
#include "trees/ArbreCategorie.h"
#include "trees/GestionTreeView.h"
#include "trees/ModeleArbre.h"

#include "support/ArbreTemporaire.h"
#include "support/Attendre.h"
#include "support/AvecApplication.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class Filtre : public AvecApplication
{
protected:
    void Scanner(const std::string& racine)
    {
        c->EditHomeRepertoireScan->setText(QString::fromStdString(racine));
        application_->Bouton.LancerScan();
        ASSERT_TRUE(AttendreQue([this] { return application_->Scans.Etat() == GestionScan::EtatScan::Termine; }));
        // The last directory roots reach the trees after the end.
        ASSERT_TRUE(AttendreQue([this] { return !application_->Arbres.AffichageEnCours(); }));
    }
    ArbreCategorie* Arbre(Categorie categorie, Ordre ordre) { return c->Arbre({categorie, ordre}); }
    QLineEdit* Boite() { return f->findChild<QLineEdit*>("EditFiltre"); }
    // Types into the shown tree and waits for that text's filter.
    void Taper(ArbreCategorie* arbre, const QString& texte)
    {
        FiltreArbres& filtre = application_->Arbres.Filtre();
        arbre->setFocus();
        QTest::keyClicks(QApplication::focusWidget(), texte);
        ASSERT_TRUE(AttendreQue([&] {
            return Boite()->text() == texte && filtre.CategorieFiltree() != Categorie::Autre;
        })) << Boite()->text().toStdString();
    }
    static QStringList Racines(ArbreCategorie* arbre)
    {
        QStringList textes;
        for (int i = 0; i < arbre->NombreRacines(); ++i)
            textes << arbre->Modele()->Texte(arbre->Racine(i));
        return textes;
    }
    static QStringList Enfants(ArbreCategorie* arbre, int racine)
    {
        Noeud* groupe = arbre->Racine(racine);
        arbre->Deployer(groupe);
        EXPECT_TRUE(AttendreQue([groupe] { return !groupe->AttenteVirtuelle(); }));
        QStringList textes;
        for (Noeud* enfant : groupe->Enfants)
            textes << enfant->Texte.Chaine();
        return textes;
    }
};

} // namespace

TEST_F(Filtre, TypingFiltersTheShownCategoryAndEscapeRestoresIt)
{
    ArbreTemporaire dossier;
    dossier.Fichier("Été.txt");
    dossier.Fichier("notes.txt");
    dossier.Fichier("a/bete.doc");
    dossier.Fichier("a/rien.doc");
    dossier.Fichier("b/autre.txt");
    dossier.Fichier("Sète.mp3");
    Scanner(dossier.Racine());
    application_->Menu.AfficherTexte(true);
    application_->Arbres.ChangerOrdre(Categorie::Texte, Ordre::Repertoire);
    ArbreCategorie* repertoires = Arbre(Categorie::Texte, Ordre::Repertoire);
    const QStringList entiers = Racines(repertoires);
    ASSERT_EQ(entiers.size(), 3);

    // A letter typed in the tree opens the box; the trees keep "Été" and "bete".
    FiltreArbres& filtre = application_->Arbres.Filtre();
    QSignalSpy appliques(&filtre, &FiltreArbres::FiltreApplique);
    Taper(repertoires, "ETE");
    EXPECT_TRUE(Boite()->isVisible());
    EXPECT_EQ(Boite()->placeholderText(), FiltreArbres::TexteInvite);
    EXPECT_EQ(filtre.NombreRetenus(), 2);
    EXPECT_EQ(Racines(repertoires), QStringList({"(1) ~", "(1) ~/a"}));
    EXPECT_EQ(Enfants(repertoires, 1), QStringList({"bete.doc"}));
    // A filtered group's rows are its files shown, for the files' actions too.
    const CleArbre cle{Categorie::Texte, Ordre::Repertoire};
    ActionsFichiers& actions = application_->Arbres.Actions();
    const std::vector<std::string> bete{dossier.Racine() + "/a/bete.doc"};
    EXPECT_EQ(actions.Chemins(cle, {repertoires->Modele()->IndexDe(repertoires->Racine(1)->Enfants[0])}), bete);
    EXPECT_EQ(actions.Chemins(cle, {repertoires->Modele()->IndexDe(repertoires->Racine(1))}), bete);
    ArbreCategorie* extensions = Arbre(Categorie::Texte, Ordre::Extension);
    EXPECT_EQ(Racines(extensions), QStringList({"(1) txt", "(1) doc"}));
    ArbreCategorie* lettres = Arbre(Categorie::Texte, Ordre::Alphabetique);
    EXPECT_EQ(lettres->Racine(1)->Enfants[1]->Texte.Chaine(), "B (1)");
    EXPECT_EQ(lettres->Racine(1)->Enfants[4]->Texte.Chaine(), "E (1)");
    EXPECT_EQ(lettres->Racine(1)->Enfants[13]->Texte.Chaine(), "N (0)");

    // Another order shows the same filter.
    application_->Arbres.ChangerOrdre(Categorie::Texte, Ordre::Extension);
    EXPECT_TRUE(extensions->isVisible());
    EXPECT_EQ(Enfants(extensions, 0), QStringList({"Été.txt"}));

    // Another zone: the Texte trees come back whole, the Son ones filtered.
    application_->Menu.AfficherSon(true);
    ASSERT_TRUE(AttendreQue([&] { return filtre.CategorieFiltree() == Categorie::Son; }));
    EXPECT_EQ(Racines(repertoires), entiers);
    EXPECT_EQ(filtre.NombreRetenus(), 1);
    EXPECT_EQ(Racines(Arbre(Categorie::Son, Ordre::Repertoire)), QStringList({"(1) ~"}));

    // Escape in the box: everything back, the box hidden.
    application_->Menu.AfficherTexte(true);
    ASSERT_TRUE(AttendreQue([&] { return filtre.CategorieFiltree() == Categorie::Texte; }));
    QTest::keyClick(Boite(), Qt::Key_Escape);
    EXPECT_FALSE(Boite()->isVisible());
    EXPECT_EQ(filtre.CategorieFiltree(), Categorie::Autre);
    EXPECT_EQ(Racines(extensions), QStringList({"(3) txt", "(2) doc"}));
    EXPECT_EQ(Enfants(extensions, 1), QStringList({"bete.doc", "rien.doc"}));
    EXPECT_GE(appliques.count(), 4);
}

TEST_F(Filtre, TypingKeepsOpenGroupsOpenAndOpensTheGroupsOfAFewFilesKept)
{
    ArbreTemporaire dossier;
    for (const char* nom : {"été.mp3", "a.mp3", "b.mp3", "c.mp3", "d.mp3"})
        dossier.Fichier(nom);
    for (int i = 0; i < 40; ++i)
        dossier.Fichier("x/x" + std::to_string(i) + ".wav");
    Scanner(dossier.Racine());
    application_->Menu.AfficherSon(true);
    application_->Arbres.ChangerOrdre(Categorie::Son, Ordre::Extension);
    ArbreCategorie* extensions = Arbre(Categorie::Son, Ordre::Extension);
    ASSERT_EQ(Racines(extensions), QStringList({"(5) mp3", "(40) wav"}));
    ASSERT_EQ(Enfants(extensions, 0).size(), 5);
    auto ouvert = [](ArbreCategorie* arbre, Noeud* noeud) {
        return arbre->isExpanded(arbre->Modele()->IndexDe(noeud));
    };

    // The group opened stays open, its match shown; the few files kept
    // open their groups in the other trees too.
    Taper(extensions, "ete");
    ASSERT_EQ(Racines(extensions), QStringList({"(1) mp3"}));
    EXPECT_TRUE(ouvert(extensions, extensions->Racine(0)));
    ASSERT_TRUE(AttendreQue([&] { return !extensions->Racine(0)->AttenteVirtuelle(); }));
    EXPECT_EQ(extensions->Racine(0)->Enfants[0]->Texte.Chaine(), "été.mp3");
    ArbreCategorie* repertoires = Arbre(Categorie::Son, Ordre::Repertoire);
    EXPECT_TRUE(ouvert(repertoires, repertoires->Racine(0)));
    ArbreCategorie* lettres = Arbre(Categorie::Son, Ordre::Alphabetique);
    EXPECT_TRUE(ouvert(lettres, lettres->Racine(1)));
    EXPECT_TRUE(ouvert(lettres, lettres->Racine(1)->Enfants[4])); // E (1)

    // More files kept than the tree shows: only the groups open before.
    QTest::keyClick(Boite(), Qt::Key_Escape);
    Taper(extensions, "x");
    ASSERT_EQ(Racines(extensions), QStringList({"(40) wav"}));
    EXPECT_FALSE(ouvert(extensions, extensions->Racine(0)));
    EXPECT_FALSE(ouvert(repertoires, repertoires->Racine(0)));
}
