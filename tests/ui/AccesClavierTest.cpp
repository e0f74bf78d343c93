// The main window from the keyboard and through a screen reader's eyes: the
// real start-up offscreen, real key events, Qt's accessibility interfaces.

#include "app/Application.h"
#include "trees/ArbreCategorie.h"
#include "trees/Noeud.h"
#include "ui/GestionBarreSystem.h"
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
#include <QSignalSpy>
#include <QSlider>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
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

bool Contient(const std::vector<QWidget*>& widgets, const QWidget* w)
{
    return std::find(widgets.begin(), widgets.end(), w) != widgets.end();
}

}  // namespace

TEST_F(Clavier, TabGoesFromThePathBoxToScanPauseStopThenEscapeStops)
{
    // Nothing takes the focus at start: the invitation stays.
    EXPECT_EQ(c->EditHomeRepertoireScan->text(), GestionBouton::TexteInvitation);
    Touche(Qt::Key_Escape);   // no scan: nothing to stop
    EXPECT_EQ(Scans().Etat(), GestionScan::EtatScan::Jamais);

    Touche(Qt::Key_Tab);
    EXPECT_EQ(Focus(), c->EditHomeRepertoireScan);
    Touche(Qt::Key_Tab);
    EXPECT_EQ(Focus(), c->ImgHomeScan);
    // Then "Parcourir", ">>>" and the zones; pause, stop, trees, drop-down
    // and players are hidden.
    const std::vector<QWidget*> accueil = CycleTab();
    const std::vector<QWidget*> attendu = {c->ImgHomeParcourir, c->LabelHomeOption, c->ZoneHome,  c->ZoneVideo,
                                           c->ZoneSon,          c->ZoneImage,       c->ZoneTexte, c->ZoneTransfert,
                                           c->EditHomeRepertoireScan};
    EXPECT_EQ(accueil, attendu);
    Touche(Qt::Key_Backtab);
    EXPECT_EQ(Focus(), c->EditHomeRepertoireScan);

    ArbreTemporaire arbre;
    for (int d = 0; d < 300; ++d)
        for (int i = 0; i < 5; ++i)
            arbre.Fichier("d" + std::to_string(d) + "/f" + std::to_string(i) + ".jpg");
    c->EditHomeRepertoireScan->setText(QString::fromStdString(arbre.Racine()));
    Touche(Qt::Key_Tab);
    ASSERT_EQ(Focus(), c->ImgHomeScan);
    Touche(Qt::Key_Space);   // the scan picture, pressed
    ASSERT_EQ(Scans().Etat(), GestionScan::EtatScan::EnCours);

    // The box and the scan picture are disabled while it runs.
    for (int i = 0; i < 3 && Focus() != c->LabelPause; ++i)
        Touche(Qt::Key_Tab);
    ASSERT_EQ(Focus(), c->LabelPause);
    Touche(Qt::Key_Return);
    EXPECT_EQ(c->LabelPause->text(), "Scan");
    Touche(Qt::Key_Tab);
    EXPECT_EQ(Focus(), c->LabelArret);
    // A whole turn during the scan reaches none of the disabled commands.
    const std::vector<QWidget*> pendant = CycleTab();
    for (QWidget* inactif : std::initializer_list<QWidget*>{c->EditHomeRepertoireScan, c->ImgHomeScan,
                                                             c->ImgHomeParcourir, c->LabelHomeOption})
        EXPECT_FALSE(Contient(pendant, inactif)) << inactif->objectName().toStdString();
    EXPECT_TRUE(Contient(pendant, c->LabelPause));
    EXPECT_TRUE(Contient(pendant, c->ZoneImage));
    // From a category zone too: its tree, the drop-down and the zones.
    Touche(Qt::Key_4, Qt::ControlModifier);
    ArbreCategorie* arbreImage = nullptr;
    for (ArbreCategorie* a : c->Arbres())
        if (a->isVisible())
            arbreImage = a;
    ASSERT_NE(arbreImage, nullptr);
    arbreImage->setFocus();
    const std::vector<QWidget*> image = CycleTab();
    EXPECT_TRUE(Contient(image, c->ComboBoxChoixTrie));
    EXPECT_TRUE(Contient(image, c->ZoneHome));
    Touche(Qt::Key_1, Qt::ControlModifier);
    c->LabelArret->setFocus();
    Touche(Qt::Key_Tab);
    EXPECT_NE(Focus(), c->LabelArret);
    for (int i = 0; i < 10 && Focus() != c->LabelPause; ++i)
        Touche(Qt::Key_Tab);
    EXPECT_EQ(Focus(), c->LabelPause);

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
        ASSERT_TRUE(AttendreQue([this] { return !application_->Previsu.Image.ChargementEnCours(); }));
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
    EXPECT_EQ(QAccessible::queryAccessibleInterface(c->TreeViewSonRep)->text(QAccessible::Name),
              "Son par répertoire");
}

TEST_F(Clavier, TabReachesThePlayersAndTheirBarsAFocusedButtonShowsAPeriwinkleOutline)
{
    const std::pair<int, std::array<QWidget*, 3>> lecteurs[] = {
        {3, {c->ImageSonPlayPause, c->ImageSonStop, c->TrackBarSon}},
        {2, {c->ImageVideoPlayPause, c->ImageVideoStop, c->TrackBarVideo}}};
    for (const auto& [chiffre, commandes] : lecteurs) {
        Touche(Qt::Key(Qt::Key_0 + chiffre), Qt::ControlModifier);
        c->ComboBoxChoixTrie->setFocus();
        const std::vector<QWidget*> cycle = CycleTab();
        ASSERT_GE(cycle.size(), 3u);
        // Right after the drop-down, in their order.
        EXPECT_EQ(std::vector<QWidget*>(cycle.begin(), cycle.begin() + 3),
                  std::vector<QWidget*>(commandes.begin(), commandes.end()));
        EXPECT_EQ(commandes[2]->focusPolicy(), Qt::StrongFocus);
    }

    // The outline is all a focused picture or label paints differently.
    Touche(Qt::Key_1, Qt::ControlModifier);
    for (QWidget* w : std::initializer_list<QWidget*>{c->ImgHomeScan, c->LabelHomeOption}) {
        SCOPED_TRACE(w->objectName().toStdString());
        f->setFocus();
        ASSERT_TRUE(AttendreQue([w] { return !w->hasFocus(); }));
        const QImage sans = w->grab().toImage();
        w->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(AttendreQue([w] { return w->hasFocus(); }));
        const QImage avec = w->grab().toImage();
        ASSERT_EQ(sans.size(), avec.size());
        const QRect bord = QRect(QPoint(0, 0), avec.deviceIndependentSize().toSize());
        const qreal ratio = avec.devicePixelRatio();
        int differents = 0;
        for (int y = 0; y < avec.height(); ++y)
            for (int x = 0; x < avec.width(); ++x) {
                const QPoint logique(int(x / ratio), int(y / ratio));
                const bool surBord = logique.x() == 0 || logique.y() == 0 || logique.x() == bord.width() - 1 ||
                                     logique.y() == bord.height() - 1;
                if (surBord)
                    EXPECT_EQ(avec.pixelColor(x, y), QColor(0x80, 0x80, 0xFF)) << x << "," << y;
                else
                    differents += avec.pixel(x, y) != sans.pixel(x, y);
            }
        EXPECT_EQ(differents, 0);
    }
}

TEST_F(Clavier, CtrlOBrowsesF5ScansAgainCtrlQCloses)
{
    // Ctrl+O: the folder browser, as "Parcourir".
    bool navigateur = false;
    QTimer::singleShot(0, [&navigateur] {
        if (auto* dialogue = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            navigateur = true;
            dialogue->reject();
        }
    });
    Touche(Qt::Key_O, Qt::ControlModifier);
    EXPECT_TRUE(navigateur);
    EXPECT_TRUE(f->isEnabled());
    f->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f));

    // F5: the path scanned again; not while a scan runs.
    ArbreTemporaire arbre;
    for (int d = 0; d < 300; ++d)
        for (int i = 0; i < 5; ++i)
            arbre.Fichier("d" + std::to_string(d) + "/f" + std::to_string(i) + ".txt");
    c->EditHomeRepertoireScan->setText(QString::fromStdString(arbre.Racine()));
    QSignalSpy demarres(&Scans(), &GestionScan::Demarre);
    Touche(Qt::Key_F5);
    ASSERT_EQ(demarres.count(), 1);
    Touche(Qt::Key_F5);
    EXPECT_EQ(demarres.count(), 1);
    ASSERT_TRUE(AttendreQue([this] { return Scans().Etat() == GestionScan::EtatScan::Termine; }));
    Touche(Qt::Key_F5);
    EXPECT_EQ(demarres.count(), 2);
    ASSERT_TRUE(AttendreQue([this] { return Scans().Etat() == GestionScan::EtatScan::Termine; }));

    // Ctrl+Q: as the close picture.
    QSignalSpy fermeture(&application_->BarreSystem, &GestionBarreSystem::Fermeture);
    Touche(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(fermeture.count(), 1);
}

TEST_F(Clavier, ScreenReadersHearCountersWithTheirNumbersTimesAndTheTreesColumn)
{
    const auto nom = [](QWidget* w) { return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name); };
    EXPECT_EQ(nom(c->LabelHomeFichierNbVideo), "Vidéo : 0");
    EXPECT_EQ(nom(c->LabelHomeFichierNbTotal), "Total : 0");

    ArbreTemporaire arbre;
    for (int i = 0; i < 12; ++i)
        arbre.Fichier("v" + std::to_string(i) + ".mkv");
    for (int i = 0; i < 3; ++i)
        arbre.Fichier("s" + std::to_string(i) + ".mp3");
    arbre.Fichier("notes.txt");
    c->EditHomeRepertoireScan->setText(QString::fromStdString(arbre.Racine()));
    Bouton().LancerScan();
    ASSERT_TRUE(AttendreQue([this] { return Scans().Etat() == GestionScan::EtatScan::Termine; }));
    EXPECT_EQ(nom(c->LabelHomeFichierNbVideo), "Vidéo : 12");
    EXPECT_EQ(nom(c->LabelHomeFichierNbSon), "Son : 3");
    EXPECT_EQ(nom(c->LabelHomeFichierNbImage), "Image : 0");
    EXPECT_EQ(nom(c->LabelHomeFichierNbTexte), "Texte : 1");
    EXPECT_EQ(nom(c->LabelHomeFichierNbTotal), "Total : 16");

    EXPECT_EQ(nom(c->ComboBoxChoixTrie), "Ordre d'affichage");
    EXPECT_EQ(nom(c->LabelSonDurreeCourant), "Temps écoulé");
    EXPECT_EQ(nom(c->LabelVideoDurreeCourant), "Temps écoulé");
    EXPECT_EQ(nom(c->LabelSonDurreeTotale), "Durée totale");
    EXPECT_EQ(nom(c->LabelVideoDurreeTotale), "Durée totale");

    // The tree's one column is "Nom", not a number.
    for (ArbreCategorie* a : c->Arbres()) {
        QAccessibleInterface* interface = QAccessible::queryAccessibleInterface(a);
        ASSERT_NE(interface, nullptr);
        QAccessibleTableInterface* table = interface->tableInterface();
        ASSERT_NE(table, nullptr);
        EXPECT_EQ(table->columnDescription(0), "Nom") << a->accessibleName().toStdString();
    }
}
