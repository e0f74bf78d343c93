// The main window from the keyboard and through a screen reader's eyes: the
// real start-up offscreen, real key events, Qt's accessibility interfaces.

#include "app/Application.h"
#include "trees/ArbreCategorie.h"
#include "trees/Noeud.h"
#include "ui/GestionBouton.h"
#include "ui/GestionMenu.h"
#include "ui/TFormPrincipal.h"
#include "widgets/Etiquette.h"
#include "widgets/ImageComposant.h"
#include "widgets/ZoneSaisie.h"

#include "support/ArbreTemporaire.h"
#include "support/Attendre.h"
#include "support/AvecApplication.h"
#include "support/ImagesDeTest.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class Clavier : public AvecApplication
{
protected:
    void SetUp() override
    {
        AvecApplication::SetUp();
        f->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(f));
    }
    GestionBouton& Bouton() { return application_->Bouton; }
    GestionScan& Scans() { return application_->Scans; }

    // A key as the user presses it: to the widget that has the focus.
    void Touche(Qt::Key touche, Qt::KeyboardModifiers modificateurs = Qt::NoModifier)
    {
        QWidget* cible = QApplication::focusWidget();
        QTest::keyClick(cible ? cible : f, touche, modificateurs);
    }
    QWidget* Focus() const { return QApplication::focusWidget(); }
    // The widgets Tab goes through from the focused one until it comes back
    // to it (at most 80 presses), each checked to be shown and enabled.
    std::vector<QWidget*> CycleTab()
    {
        std::vector<QWidget*> cycle;
        QWidget* depart = Focus();
        for (int i = 0; i < 80; ++i) {
            Touche(Qt::Key_Tab);
            QWidget* w = Focus();
            if (!w || w == depart)
                break;
            EXPECT_TRUE(w->isVisible() && w->isEnabled()) << w->objectName().toStdString();
            cycle.push_back(w);
        }
        EXPECT_EQ(Focus(), depart);
        return cycle;
    }
};

} // namespace

TEST_F(Clavier, TabGoesFromThePathBoxToScanPauseStopThenEscapeStops)
{
    // Nothing takes the focus at start: the invitation stays.
    EXPECT_EQ(c->EditHomeRepertoireScan->text(), GestionBouton::TexteInvitation);
    Touche(Qt::Key_Escape); // no scan: nothing to stop
    EXPECT_EQ(Scans().Etat(), GestionScan::EtatScan::Jamais);

    Touche(Qt::Key_Tab);
    EXPECT_EQ(Focus(), c->EditHomeRepertoireScan);
    Touche(Qt::Key_Tab);
    EXPECT_EQ(Focus(), c->ImgHomeScan);
    // Then "Parcourir", ">>>" and the zones; pause, stop, trees, drop-down
    // and players are hidden.
    const std::vector<QWidget*> accueil = CycleTab();
    const std::vector<QWidget*> attendu = {c->ImgHomeParcourir, c->LabelHomeOption, c->ZoneHome,
                                           c->ZoneVideo,        c->ZoneSon,         c->ZoneImage,
                                           c->ZoneTexte,        c->ZoneTransfert,   c->EditHomeRepertoireScan};
    EXPECT_EQ(accueil, attendu);
    Touche(Qt::Key_Backtab);
    EXPECT_EQ(Focus(), c->EditHomeRepertoireScan);

    ArbreTemporaire arbre;
    for (int d = 0; d < 30; ++d)
        for (int i = 0; i < 5; ++i)
            arbre.Fichier("d" + std::to_string(d) + "/f" + std::to_string(i) + ".jpg");
    c->EditHomeRepertoireScan->setText(QString::fromStdString(arbre.Racine()));
    Touche(Qt::Key_Tab);
    ASSERT_EQ(Focus(), c->ImgHomeScan);
    Scans().RetenirMarche = true; // the scan lasts until Escape
    Touche(Qt::Key_Space);        // the scan picture, pressed
    Scans().RetenirMarche = false;
    ASSERT_EQ(Scans().Etat(), GestionScan::EtatScan::EnCours);

    // The box and the scan picture are disabled while it runs.
    for (int i = 0; i < 3 && Focus() != c->LabelPause; ++i)
        Touche(Qt::Key_Tab);
    ASSERT_EQ(Focus(), c->LabelPause);
    Touche(Qt::Key_Return);
    EXPECT_EQ(c->LabelPause->text(), "Scan");
    Touche(Qt::Key_Tab);
    EXPECT_EQ(Focus(), c->LabelArret);
    // A whole turn during the scan (Home, then Image) reaches only shown,
    // enabled controls (CycleTab checks), and none of the disabled commands.
    const std::vector<QWidget*> pendant = CycleTab();
    EXPECT_EQ(pendant, (std::vector<QWidget*>{c->ZoneHome, c->ZoneVideo, c->ZoneSon, c->ZoneImage, c->ZoneTexte,
                                              c->ZoneTransfert, c->LabelPause}));
    Touche(Qt::Key_4, Qt::ControlModifier);
    EXPECT_GE(CycleTab().size(), 8u); // the tree, the drop-down, the zones
    Touche(Qt::Key_1, Qt::ControlModifier);
    c->LabelPause->setFocus();

    Touche(Qt::Key_Escape);
    EXPECT_EQ(Scans().Etat(), GestionScan::EtatScan::Termine);
    EXPECT_FALSE(c->LabelArret->isVisible());
    // The keyboard is not lost with the labels: Tab comes back to the box.
    for (int i = 0; i < 10 && Focus() != c->EditHomeRepertoireScan; ++i)
        Touche(Qt::Key_Tab);
    EXPECT_EQ(Focus(), c->EditHomeRepertoireScan);
}

TEST_F(Clavier, CtrlDigitsSelectTheZonesAndTabReachesTreeAndDropDown)
{
    const int zones[] = {GestionMenu::Home,   GestionMenu::ZVideo, GestionMenu::ZSon,
                         GestionMenu::ZImage, GestionMenu::ZTexte, GestionMenu::Transfert};
    for (int i = 5; i >= 0; --i) {
        Touche(Qt::Key(Qt::Key_1 + i), Qt::ControlModifier);
        EXPECT_EQ(application_->Menu.ZoneCourante(), zones[i]) << "Ctrl+" << i + 1;
    }
    Touche(Qt::Key_4, Qt::ControlModifier);
    c->ComboBoxChoixTrie->setCurrentIndex(1);
    ArbreCategorie* arbre = c->Arbre({Categorie::Image, Ordre::Alphabetique});
    ASSERT_TRUE(arbre->isVisible());
    Touche(Qt::Key_Tab);
    EXPECT_EQ(Focus(), arbre);
    Touche(Qt::Key_Tab);
    EXPECT_EQ(Focus(), c->ComboBoxChoixTrie);
    // Then the six zones, and the tree again.
    for (QWidget* zone : {c->ZoneHome, c->ZoneVideo, c->ZoneSon, c->ZoneImage, c->ZoneTexte, c->ZoneTransfert}) {
        Touche(Qt::Key_Tab);
        EXPECT_EQ(Focus(), zone) << zone->objectName().toStdString();
    }
    Touche(Qt::Key_Tab);
    EXPECT_EQ(Focus(), arbre);
}

TEST_F(Clavier, EnterOnAFileOpensItAsThePreviewDoesEnterOnAGroupDoesNot)
{
    std::vector<std::string> ouverts;
    application_->Previsu.OuvrirAvecBureau = [&ouverts](const std::string& chemin) { ouverts.push_back(chemin); };
    ArbreTemporaire dossier;
    const std::string photo = dossier.Fichier("photo.jpg");
    ASSERT_TRUE(DeuxCouleurs(64, 48).save(QString::fromStdString(photo), "JPG"));
    const std::string notes = dossier.Fichier("notes.txt", 20);
    c->EditHomeRepertoireScan->setText(QString::fromStdString(dossier.Racine()));
    Bouton().LancerScan();
    ASSERT_TRUE(AttendreQue([this] { return Scans().Etat() == GestionScan::EtatScan::Termine; }));

    const std::pair<Categorie, std::string> cas[] = {{Categorie::Image, photo}, {Categorie::Texte, notes}};
    for (const auto& [categorie, chemin] : cas) {
        SCOPED_TRACE(chemin);
        Touche(Qt::Key(Qt::Key_1 + int(categorie)), Qt::ControlModifier);
        c->ComboBoxChoixTrie->setCurrentIndex(0);
        ArbreCategorie* arbre = c->Arbre({categorie, Ordre::Extension});
        ASSERT_TRUE(AttendreQue([arbre] { return arbre->NombreRacines() == 1; }));
        Noeud* groupe = arbre->Racine(0);
        arbre->Deployer(groupe);
        ASSERT_TRUE(AttendreQue([groupe] { return !groupe->AttenteVirtuelle() && groupe->Enfants.size() == 1; }));
        arbre->setFocus();

        arbre->Selectionner(groupe);
        QTest::keyClick(arbre, Qt::Key_Return);
        EXPECT_TRUE(ouverts.empty());

        arbre->Selectionner(groupe->Enfants[0]);
        ASSERT_TRUE(AttendreQue([this] {
            return !application_->Previsu.LectureEnCours() && !application_->Previsu.Image.ChargementEnCours();
        }));
        QTest::keyClick(arbre, Qt::Key_Return);
        ASSERT_EQ(ouverts.size(), 1u);
        EXPECT_EQ(ouverts.back(), chemin);
        ouverts.clear();
    }
}

TEST_F(Clavier, ScreenReadersNameEveryPictureButtonZoneAndControl)
{
    // Every clickable picture or label is a named button, or a named zone tab.
    int boutons = 0;
    for (QWidget* w : f->findChildren<QWidget*>()) {
        if (!qobject_cast<ImageComposant*>(w) && !qobject_cast<Etiquette*>(w))
            continue;
        if (w->cursor().shape() != Qt::PointingHandCursor)
            continue;
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        ASSERT_NE(a, nullptr);
        EXPECT_TRUE(a->role() == QAccessible::Button || a->role() == QAccessible::PageTab)
            << w->metaObject()->className() << " " << w->geometry().x() << "," << w->geometry().y();
        EXPECT_FALSE(a->text(QAccessible::Name).isEmpty())
            << w->metaObject()->className() << " " << w->geometry().x() << "," << w->geometry().y();
        ++boutons;
    }
    EXPECT_GE(boutons, 20);

    QAccessibleInterface* image = QAccessible::queryAccessibleInterface(c->ZoneImage);
    EXPECT_EQ(image->role(), QAccessible::PageTab);
    EXPECT_EQ(image->text(QAccessible::Name), "Image");
    // A screen reader's "press" is a click.
    image->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(application_->Menu.ZoneCourante(), GestionMenu::ZImage);

    for (QWidget* w : std::initializer_list<QWidget*>{c->EditHomeRepertoireScan, c->ComboBoxChoixTrie})
        EXPECT_FALSE(QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name).isEmpty())
            << w->metaObject()->className();
    EXPECT_EQ(QAccessible::queryAccessibleInterface(c->TreeViewSonRep)->text(QAccessible::Name), "Son par répertoire");
}

TEST_F(Clavier, TabReachesThePlayersAFocusedButtonIsOutlinedCtrlOBrowses)
{
    Touche(Qt::Key_3, Qt::ControlModifier);
    c->ComboBoxChoixTrie->setFocus();
    const std::vector<QWidget*> cycle = CycleTab();
    ASSERT_GE(cycle.size(), 4u);
    EXPECT_EQ(std::vector<QWidget*>(cycle.begin(), cycle.begin() + 4),
              (std::vector<QWidget*>{c->ImageSonPlayPause, c->ImageSonStop, c->TrackBarSon, c->ZoneHome}));

    // The 1-pixel periwinkle outline is all focus changes in the picture.
    Touche(Qt::Key_1, Qt::ControlModifier);
    f->setFocus();
    const QImage sans = c->ImgHomeScan->grab().toImage();
    c->ImgHomeScan->setFocus(Qt::TabFocusReason);
    QImage avec = c->ImgHomeScan->grab().toImage();
    const int r = qRound(avec.devicePixelRatio());
    EXPECT_EQ(avec.pixelColor(0, avec.height() / 2), QColor(0x80, 0x80, 0xFF));
    EXPECT_EQ(avec.pixelColor(avec.width() - 1, avec.height() - 1), QColor(0x80, 0x80, 0xFF));
    EXPECT_EQ(avec.copy(r, r, avec.width() - 2 * r, avec.height() - 2 * r),
              sans.copy(r, r, sans.width() - 2 * r, sans.height() - 2 * r));

    // The browser opens once its start folder has been looked at: it is
    // watched for until then.
    bool navigateur = false;
    QTimer guet;
    guet.setInterval(10);
    QObject::connect(&guet, &QTimer::timeout, [&navigateur, &guet] {
        if (auto* dialogue = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            navigateur = true, guet.stop(), dialogue->reject();
    });
    guet.start();
    Touche(Qt::Key_O, Qt::ControlModifier);
    EXPECT_TRUE(navigateur);
}

TEST_F(Clavier, ScreenReadersHearCountersWithTheirNumbersTimesAndTheTreesColumn)
{
    const auto nom = [](QWidget* w) { return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name); };
    ArbreTemporaire arbre;
    for (const char* fichier : {"a.mkv", "b.mkv", "c.mp3", "d.txt"})
        arbre.Fichier(fichier);
    c->EditHomeRepertoireScan->setText(QString::fromStdString(arbre.Racine()));
    Bouton().LancerScan();
    ASSERT_TRUE(AttendreQue([this] { return Scans().Etat() == GestionScan::EtatScan::Termine; }));
    const QStringList entendus = {nom(c->LabelHomeFichierNbVideo), nom(c->LabelHomeFichierNbSon),
                                  nom(c->LabelHomeFichierNbImage), nom(c->LabelHomeFichierNbTexte),
                                  nom(c->LabelHomeFichierNbTotal), nom(c->ComboBoxChoixTrie),
                                  nom(c->LabelSonDurreeCourant),   nom(c->LabelVideoDurreeTotale)};
    EXPECT_EQ(entendus, (QStringList{"Vidéo : 2", "Son : 1", "Image : 0", "Texte : 1", "Total : 4", "Ordre d'affichage",
                                     "Temps écoulé", "Durée totale"}));
    QAccessibleTableInterface* table = QAccessible::queryAccessibleInterface(c->TreeViewSonRep)->tableInterface();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->columnDescription(0), "Nom");
}
