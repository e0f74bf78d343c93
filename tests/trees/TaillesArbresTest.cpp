// Sizes in the trees, on the real window (offscreen) after a real scan of
// files whose sizes the test makes: the size column of groups and files,
// the biggest-first list with its menu and filter, and its setting.

#include "scan/GestionScan.h"
#include "shared/Option.h"
#include "shared/Registre.h"
#include "shared/Textes.h"
#include "trees/ActionsFichiers.h"
#include "trees/ArbreCategorie.h"
#include "trees/FiltreArbres.h"
#include "trees/ModeleArbre.h"
#include "widgets/Bureau.h"

#include "support/ArbreTemporaire.h"
#include "support/Attendre.h"
#include "support/AvecApplication.h"

#include <QClipboard>
#include <QLabel>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

class Tailles : public AvecApplication
{
protected:
    void Scanner()
    {
        c->EditHomeRepertoireScan->setText(QString::fromStdString(arbre_.Racine()));
        application_->Bouton.LancerScan();
        ASSERT_TRUE(AttendreQue([this] { return application_->Scans.Etat() == GestionScan::EtatScan::Termine; }));
        application_->Menu.AfficherTexte(true);
    }
    static QString Colonne(const QModelIndex& ligne, int colonne, int role = Qt::DisplayRole)
    {
        return ligne.sibling(ligne.row(), colonne).data(role).toString();
    }
    static QString Taille(int64_t octets) { return QString::fromStdString(Textes::Taille(octets)); }

    ArbreTemporaire arbre_;
};

TEST_F(Tailles, ColumnShowsEachFileAndEachGroupTotal)
{
    const int64_t txt[] = {100, 3 * 1024 + 5, 5 * 1024 * 1024 + 10};
    arbre_.Fichier("a/petit.txt", txt[0]);
    arbre_.Fichier("a/moyen.txt", txt[1]);
    arbre_.Fichier("b/gros.txt", txt[2]);
    arbre_.Fichier("b/note.pdf", 2048);
    arbre_.Fichier("c/photo.jpg", 7000);
    Scanner();
    // The home panel's totals beside the counters.
    const int64_t textes = txt[0] + txt[1] + txt[2] + 2048;
    const std::pair<const char*, int64_t> totaux[] = {
        {"LabelHomeTailleTexte", textes}, {"LabelHomeTailleImage", 7000}, {"LabelHomeTailleTotal", textes + 7000}};
    for (auto [nom, octets] : totaux) {
        const QLabel* total = f->findChild<QLabel*>(nom);
        ASSERT_NE(total, nullptr) << nom;
        EXPECT_EQ(total->text(), Taille(octets)) << nom;
        EXPECT_TRUE(total->accessibleName().endsWith(Taille(octets))) << nom;
    }
    application_->Arbres.ChangerOrdre(Categorie::Texte, Ordre::Extension);
    ArbreCategorie* arbre = c->Arbre({Categorie::Texte, Ordre::Extension});
    ModeleArbre* modele = arbre->Modele();
    Noeud* groupe = nullptr;
    for (int i = 0; i < arbre->NombreRacines(); ++i)
        if (modele->Texte(arbre->Racine(i)) == "(3) txt")
            groupe = arbre->Racine(i);
    ASSERT_NE(groupe, nullptr); // the first column's text as before
    const QModelIndex ligneGroupe = modele->IndexDe(groupe);
    EXPECT_EQ(Colonne(ligneGroupe, 1), Taille(txt[0] + txt[1] + txt[2]));
    arbre->Deployer(groupe);
    ASSERT_TRUE(AttendreQue([groupe] { return !groupe->AttenteVirtuelle(); }));
    ASSERT_EQ(groupe->Enfants.size(), 3u);
    for (const Noeud* fichier : {groupe->Enfants[0], groupe->Enfants[1], groupe->Enfants[2]}) {
        const QModelIndex ligne = modele->IndexDe(fichier);
        const int i = fichier->Texte == "petit.txt" ? 0 : fichier->Texte == "moyen.txt" ? 1 : 2;
        EXPECT_EQ(Colonne(ligne, 1), Taille(txt[i])) << fichier->Texte;
        EXPECT_EQ(Colonne(ligne, 1, Qt::AccessibleTextRole), "Taille : " + Taille(txt[i]));
        EXPECT_TRUE(ligne.siblingAtColumn(1).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight);
    }
    // Narrow, with the names beside it and no horizontal scroll bar.
    EXPECT_LE(arbre->columnWidth(1), arbre->viewport()->width() / 3);
    EXPECT_LE(arbre->columnWidth(0) + arbre->columnWidth(1), arbre->viewport()->width());
    EXPECT_FALSE(arbre->horizontalScrollBar()->isVisible());

    // A size the walk could not read shows as unknown.
    arbre->RemplacerEnfants(groupe, {{"perdu.txt", 2, -1}});
    EXPECT_EQ(Colonne(modele->IndexDe(groupe->Enfants[0]), 1), ModeleArbre::TailleInconnue);
}

TEST_F(Tailles, BiggestFirstListsTheWholeCategoryWithItsMenuAndFilter)
{
    arbre_.Fichier("a/deux.txt", 2000);
    arbre_.Fichier("b/c/cinq.txt", 5000);
    arbre_.Fichier("un.pdf", 1000);
    arbre_.Fichier("b/quatre.doc", 4000);
    arbre_.Fichier("trois.txt", 3000);
    Scanner();
    const Ordre avant = application_->Options.OrdreArbre(Categorie::Texte);
    QTest::mouseClick(f->findChild<QToolButton*>("BoutonPlusGros"), Qt::LeftButton);
    ArbreCategorie* liste = c->Arbre({Categorie::Texte, Ordre::Taille});
    ASSERT_FALSE(liste->isHidden());
    EXPECT_TRUE(application_->Options.ParTaille[Slot(Categorie::Texte)]);
    EXPECT_EQ(application_->Options.OrdreArbre(Categorie::Texte), avant);
    ModeleArbre* modele = liste->Modele();
    ASSERT_TRUE(AttendreQue([modele] { return modele->ParentLignes() != nullptr; }));
    const QModelIndex groupe = modele->IndexDe(modele->ParentLignes());
    ASSERT_EQ(modele->rowCount(groupe), 5);
    const char* ordre[] = {"cinq.txt", "quatre.doc", "trois.txt", "deux.txt", "un.pdf"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(modele->index(i, 0, groupe).data().toString(), ordre[i]);
    EXPECT_EQ(Colonne(modele->index(0, 0, groupe), 1), Taille(5000));
    EXPECT_EQ(Colonne(groupe, 1), Taille(15000));

    // The file menu of the first row copies the biggest file's path.
    const QModelIndex premier = modele->index(0, 0, groupe);
    const QPoint point = liste->visualRect(premier).center();
    QContextMenuEvent clic(QContextMenuEvent::Mouse, point, liste->viewport()->mapToGlobal(point));
    QApplication::sendEvent(liste->viewport(), &clic);
    QMenu* menu = application_->Arbres.Actions().Menu();
    ASSERT_TRUE(menu->isVisible());
    for (QAction* action : menu->actions())
        if (action->text().remove('&') == "Copier le chemin")
            action->trigger();
    menu->hide();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromStdString(arbre_.Racine() + "/b/c/cinq.txt"));

    // Filtered, the list holds the kept files alone, still biggest first.
    application_->Arbres.Filtre().Ouvrir("t");
    ASSERT_TRUE(AttendreQue([this] { return application_->Arbres.Filtre().NombreRetenus() == 4; }));
    ASSERT_TRUE(AttendreQue([modele] { return modele->ParentLignes() != nullptr; }));
    const QModelIndex filtre = modele->IndexDe(modele->ParentLignes());
    ASSERT_EQ(modele->rowCount(filtre), 4);
    EXPECT_EQ(modele->index(0, 0, filtre).data().toString(), "cinq.txt");
    EXPECT_EQ(modele->index(3, 0, filtre).data().toString(), "deux.txt");
    EXPECT_EQ(Colonne(filtre, 1), Taille(14000));
}

TEST_F(Tailles, BiggestFirstHasASettingOfItsOwnAndOrdersKeepTheirs)
{
    // Stored by an older copy: by directory for Vidéo, and a value this
    // copy never writes.
    ASSERT_TRUE(EcrireRegistre(Option::Racine, Option::Cle, "TreeVideo", 3));
    ASSERT_TRUE(EcrireRegistre(Option::Racine, Option::Cle, "ParTaille", 99));
    Demarrer();
    EXPECT_EQ(application_->Arbres.OrdreCourant(Categorie::Video), Ordre::Repertoire);
    application_->Arbres.ChangerOrdre(Categorie::Video, Ordre::Taille);
    ASSERT_TRUE(application_->Options.Sauver());
    EXPECT_EQ(LireRegistre(Option::Racine, Option::Cle, "TreeVideo").Valeur(), 3);
    EXPECT_EQ(LireRegistre(Option::Racine, Option::Cle, "ParTaille").Valeur(), 1 << Slot(Categorie::Video));
    Demarrer();
    EXPECT_EQ(application_->Arbres.OrdreCourant(Categorie::Video), Ordre::Taille);
    EXPECT_EQ(application_->Arbres.OrdreCourant(Categorie::Son), Option::OrdreParDefaut(Categorie::Son));
    // Another order chosen: the list is left, its bit cleared.
    application_->Arbres.ChangerOrdre(Categorie::Video, Ordre::Alphabetique);
    ASSERT_TRUE(application_->Options.Sauver());
    EXPECT_EQ(LireRegistre(Option::Racine, Option::Cle, "TreeVideo").Valeur(), 2);
    EXPECT_EQ(LireRegistre(Option::Racine, Option::Cle, "ParTaille").Valeur(), 0);
}

} // namespace
