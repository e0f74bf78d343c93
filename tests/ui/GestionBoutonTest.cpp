// A whole scan from the user's side: the real window offscreen, the real
// engine on real temporary trees, driven through the window's components.

#include "ui/GestionBouton.h"
#include "app/Application.h"
#include "trees/ArbreCategorie.h"
#include "trees/ModeleArbre.h"
#include "widgets/Etiquette.h"
#include "widgets/ImageComposant.h"
#include "ui/TFormPrincipal.h"
#include "widgets/ZoneSaisie.h"

#include "support/ArbreTemporaire.h"
#include "support/Attendre.h"
#include "support/AvecApplication.h"
#include "support/ConfigTemporaire.h"

#include <QApplication>
#include <QAction>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

class PanneauHome : public AvecApplication
{
protected:
    GestionBouton& Bouton() { return application_->Bouton; }
    GestionScan& Scans() { return application_->Scans; }
    Stockage& Stock() { return application_->Stock; }

    void Saisir(const QString& texte) { c->EditHomeRepertoireScan->setText(texte); }
    void Lancer() { QTest::keyClick(c->EditHomeRepertoireScan, Qt::Key_Return); }
    bool AttendreFin()
    {
        return AttendreQue([this] { return Scans().Etat() == GestionScan::EtatScan::Termine; });
    }

    // A tree of known counts: 3 videos, 2 sounds, 4 images, 1 document,
    // and files that are not listed.
    void RemplirArbre(ArbreTemporaire& arbre)
    {
        arbre.Fichier("film.avi", 10);
        arbre.Fichier("clip.MKV", 10);
        arbre.Fichier("Vacances/plage.mpg", 10);
        arbre.Fichier("Vacances/chant.mp3", 10);
        arbre.Fichier("Vacances/son.mp4", 10);
        arbre.Fichier("Vacances/Photos/a.jpg", 2048);
        arbre.Fichier("Vacances/Photos/B.JPG", 10);
        arbre.Fichier("Vacances/Photos/c.png", 10);
        arbre.Fichier("Vacances/Photos/été.gif", 10);
        arbre.Fichier("Docs/rapport.pdf", 10);
        arbre.Fichier("Docs/archive.zip", 10);
        arbre.Fichier("Docs/LISEZMOI", 10);
    }

    // Answers the next message box and records its text, caption and icon.
    void RepondreMessage(QString& texte, QString& titre, QMessageBox::Icon& icone)
    {
        QTimer::singleShot(0, [&] {
            auto* boite = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(boite, nullptr);
            texte = boite->text();
            titre = boite->windowTitle();
            icone = boite->icon();
            EXPECT_FALSE(f->isEnabled());
            boite->accept();
        });
    }

    // Drags data over the window, at a point over the path box or over the
    // background, as the window system hands a drag to the widget under
    // the pointer, and drops it when it was taken. Whether it was taken.
    bool Deposer(QMimeData& donnees, Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction,
                 QPoint point = {})
    {
        if (point.isNull())
            point = c->ImgFond->mapTo(f, c->PointNu());
        QWidget* cible = f->childAt(point);
        if (!cible)
            return false;
        const QPointF local = cible->mapFrom(f, point);
        QDragEnterEvent entree(local.toPoint(), actions, &donnees, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(cible, &entree);
        if (!entree.isAccepted())
            return false;
        EXPECT_EQ(entree.dropAction(), actions & Qt::CopyAction ? Qt::CopyAction : Qt::LinkAction);
        QDragMoveEvent deplacement(local.toPoint(), actions, &donnees, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(cible, &deplacement);
        if (!deplacement.isAccepted())
            return false;
        QDropEvent depot(local, actions, &donnees, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(cible, &depot);
        // Looked at off the window's thread: nothing has changed yet.
        EXPECT_EQ(Scans().Etat(), etatAvantDepot_);
        return depot.isAccepted();
    }
    bool DeposerUrls(const QList<QUrl>& urls, QPoint point = {})
    {
        QMimeData donnees;
        donnees.setUrls(urls);
        etatAvantDepot_ = Scans().Etat();
        return Deposer(donnees, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, point);
    }
    // Runs action on the next dialog of that kind once it shows, while what
    // opens it still runs.
    template <typename Dialogue>
    void Au(std::function<void(Dialogue*)> action)
    {
        auto* guet = new QTimer(f);
        guet->setInterval(10);
        QObject::connect(guet, &QTimer::timeout, [guet, action] {
            if (auto* dialogue = qobject_cast<Dialogue*>(QApplication::activeModalWidget())) {
                guet->stop();
                guet->deleteLater();
                action(dialogue);
            }
        });
        guet->start();
    }

    GestionScan::EtatScan etatAvantDepot_ = GestionScan::EtatScan::Jamais;
};

} // namespace

TEST_F(PanneauHome, ValidationMessagesChangeNothing)
{
    QString texte, titre;
    QMessageBox::Icon icone = QMessageBox::NoIcon;
    RepondreMessage(texte, titre, icone);
    QTest::mouseClick(c->ImgHomeScan, Qt::LeftButton, {}, Milieu(c->ImgHomeScan));
    EXPECT_EQ(texte, "Veuillez selectionner un répertoire");
    EXPECT_EQ(titre, "Oubli répertoire");
    EXPECT_EQ(icone, QMessageBox::Information);
    EXPECT_EQ(Scans().Etat(), GestionScan::EtatScan::Jamais);
    EXPECT_TRUE(f->isEnabled());

    Saisir("/pas/de/repertoire ici");
    RepondreMessage(texte, titre, icone);
    Lancer();
    EXPECT_EQ(texte, "Le répertoire \" /pas/de/repertoire ici \" n'existe pas.");
    EXPECT_EQ(titre, "Erreur de répertoire");
    EXPECT_EQ(icone, QMessageBox::Critical);
    EXPECT_EQ(Scans().Etat(), GestionScan::EtatScan::Jamais);
    EXPECT_FALSE(c->TimerFichier->isActive());
    EXPECT_FALSE(c->LabelPause->isVisible());
    EXPECT_EQ(c->LabelHomeScan->text(), "     Lancement du Scan");
    EXPECT_EQ(c->TreeViewImageRep->Racine(0)->Texte, "Cliquer sur \" Lancement du Scan \"");
}

TEST_F(PanneauHome, InvitationTextFollowsTheFocus)
{
    EXPECT_EQ(c->EditHomeRepertoireScan->text(), " Cliquer sur l'image pour Parcourir");
    c->EditHomeRepertoireScan->setFocus();
    ASSERT_TRUE(AttendreQue([this] { return c->EditHomeRepertoireScan->hasFocus(); }, 2000));
    EXPECT_EQ(c->EditHomeRepertoireScan->text(), "");
    c->EditHomeRepertoireScan->clearFocus();
    EXPECT_EQ(c->EditHomeRepertoireScan->text(), " Cliquer sur l'image pour Parcourir");
    c->EditHomeRepertoireScan->setFocus();
    QTest::keyClicks(c->EditHomeRepertoireScan, "/tmp");
    c->EditHomeRepertoireScan->clearFocus();
    EXPECT_EQ(c->EditHomeRepertoireScan->text(), "/tmp");
}

TEST_F(PanneauHome, WholeScanEndsOnItsOwn)
{
    ArbreTemporaire arbre;
    RemplirArbre(arbre);
    Saisir(QString::fromStdString(arbre.Racine()));
    Lancer();
    EXPECT_EQ(Scans().Etat(), GestionScan::EtatScan::EnCours);
    EXPECT_EQ(c->LabelHomeScan->text(), "         Scan en cours ...");
    EXPECT_TRUE(c->LabelPause->isVisible());
    EXPECT_TRUE(c->LabelArret->isVisible());
    EXPECT_FALSE(c->EditHomeRepertoireScan->isEnabled());
    EXPECT_FALSE(c->ImgHomeParcourir->isEnabled());
    EXPECT_FALSE(c->LabelHomeOption->isEnabled());

    // Clicking the scan label during a scan does nothing.
    QTest::mouseClick(c->LabelHomeScan, Qt::LeftButton, {}, Milieu(c->LabelHomeScan));
    EXPECT_EQ(Scans().Etat(), GestionScan::EtatScan::EnCours);

    ASSERT_TRUE(AttendreFin());
    EXPECT_EQ(c->LabelHomeFichierNbVideo->text(), "3");
    EXPECT_EQ(c->LabelHomeFichierNbSon->text(), "2");
    EXPECT_EQ(c->LabelHomeFichierNbImage->text(), "4");
    EXPECT_EQ(c->LabelHomeFichierNbTexte->text(), "1");
    EXPECT_EQ(c->LabelHomeFichierNbTotal->text(), "10");
    EXPECT_EQ(c->LabelHomeScan->text(), "     Lancement du Scan");
    EXPECT_FALSE(c->LabelPause->isVisible());
    EXPECT_FALSE(c->ImgProgressBar->isVisible());
    EXPECT_TRUE(c->EditHomeRepertoireScan->isEnabled());
    EXPECT_FALSE(c->TimerFichier->isActive());
    EXPECT_FALSE(c->TimerProgressBar->isActive());

    // Group nodes: jpg then png then gif in the Image tree, in table order.
    ArbreCategorie* ext = c->TreeViewImageExt;
    ASSERT_EQ(ext->NombreRacines(), 3);
    EXPECT_EQ(ext->Racine(0)->Texte, "(2) jpg");
    EXPECT_EQ(ext->Racine(1)->Texte, "(1) gif");
    EXPECT_EQ(ext->Racine(2)->Texte, "(1) png");
    ArbreCategorie* alpha = c->TreeViewImageAlpha;
    ASSERT_EQ(alpha->NombreRacines(), 3);
    EXPECT_EQ(alpha->Racine(0)->Texte, "0...9 (0)");
    EXPECT_EQ(alpha->Racine(2)->Texte, "Special (0)");
    EXPECT_EQ(alpha->Racine(1)->Enfants[4]->Texte, "E (1)");
    ASSERT_TRUE(AttendreQue([&] { return c->TreeViewImageRep->NombreRacines() == 1; }));
    EXPECT_EQ(c->TreeViewImageRep->Modele()->Texte(c->TreeViewImageRep->Racine(0)), "(4) ~/Vacances/Photos");
    ASSERT_TRUE(AttendreQue([&] { return c->TreeViewVideoRep->NombreRacines() == 2; }));
    EXPECT_EQ(c->TreeViewVideoRep->Modele()->Texte(c->TreeViewVideoRep->Racine(0)), "(2) ~");
}

TEST_F(PanneauHome, PauseResumeAndStop)
{
    // The walk holds after the root, so that it is still going when the
    // pause lands.
    ArbreTemporaire arbre;
    constexpr int Repertoires = 300;
    for (int d = 0; d < Repertoires; ++d)
        arbre.Fichier("d" + std::to_string(d / 10) + "/e" + std::to_string(d) + "/f.jpg");
    Saisir(QString::fromStdString(arbre.Racine()));
    Scans().RetenirMarche = true;
    Lancer();
    Scans().RetenirMarche = false;
    c->LabelPause->setFocus();
    QTest::mouseClick(c->LabelPause, Qt::LeftButton, {}, Milieu(c->LabelPause));
    ASSERT_EQ(Scans().Etat(), GestionScan::EtatScan::EnPause);
    ASSERT_FALSE(Scans().TravailleursFinis()) << "the walk ended before the pause";
    EXPECT_EQ(c->LabelPause->text(), "Scan");
    EXPECT_FALSE(c->TimerFichier->isActive());
    // The walk and the filing stand at a check point: the count holds.
    const int32_t pendant = Stock().Compteur(Categorie::Image);
    QCoreApplication::processEvents();
    EXPECT_EQ(Stock().Compteur(Categorie::Image), pendant);
    // The partial results can be browsed.
    ASSERT_EQ(c->TreeViewImageAlpha->NombreRacines(), 3);
    EXPECT_EQ(c->TreeViewImageAlpha->Racine(1)->Enfants[5]->Texte, QString("F (%1)").arg(pendant));

    QTest::mouseClick(c->LabelPause, Qt::LeftButton, {}, Milieu(c->LabelPause));
    EXPECT_EQ(c->LabelPause->text(), "Pause");
    EXPECT_TRUE(c->TimerFichier->isActive());
    ASSERT_GE(c->TreeViewImageExt->NombreRacines(), 1);
    EXPECT_EQ(c->TreeViewImageExt->Racine(0)->Texte, "Patientez  ...");

    QTest::mouseClick(c->LabelArret, Qt::LeftButton, {}, Milieu(c->LabelArret));
    EXPECT_EQ(Scans().Etat(), GestionScan::EtatScan::Termine);
    // The workers have returned: the count is final.
    EXPECT_TRUE(Scans().TravailleursFinis());
    const int32_t arret = Stock().Compteur(Categorie::Image);
    EXPECT_EQ(c->LabelHomeFichierNbImage->text().remove(' ').toInt(), arret);
    ASSERT_EQ(c->TreeViewImageExt->NombreRacines(), arret > 0 ? 1 : 0);

    // A second scan starts fresh and counts everything.
    Lancer();
    EXPECT_EQ(Scans().Etat(), GestionScan::EtatScan::EnCours);
    ASSERT_TRUE(AttendreFin());
    EXPECT_EQ(Stock().Compteur(Categorie::Image), Repertoires);
    EXPECT_EQ(c->LabelHomeFichierNbTotal->text(), "300");
}

TEST_F(PanneauHome, APauseShowsTheCountsOfTheTreesItBuilds)
{
    ArbreTemporaire arbre;
    for (int d = 0; d < 300; ++d)
        for (int i = 0; i < 5; ++i)
            arbre.Fichier("d" + std::to_string(d) + "/f" + std::to_string(i) + ".jpg");
    Saisir(QString::fromStdString(arbre.Racine()));
    Lancer();
    // No event runs meanwhile, so the counters' timer has not shown these files.
    ASSERT_TRUE(AttendreSansEvenements([this] { return Stock().Compteur(Categorie::Image) > 0; }));
    Bouton().PauseScan();
    const int32_t images = Stock().Compteur(Categorie::Image);
    ASSERT_GT(images, 0);
    EXPECT_EQ(c->LabelHomeFichierNbImage->text().remove(' ').toInt(), images);
    EXPECT_EQ(c->LabelHomeFichierNbTotal->text().remove(' ').toInt(), images);
    EXPECT_EQ(c->TreeViewImageAlpha->Racine(1)->Enfants[5]->Texte, QString("F (%1)").arg(images));
}

TEST_F(PanneauHome, EnterStartsTheNextScanOnceOneEndsOrStops)
{
    ArbreTemporaire arbre;
    RemplirArbre(arbre);
    QApplication::setActiveWindow(f);
    ASSERT_TRUE(QTest::qWaitForWindowActive(f));
    c->EditHomeRepertoireScan->setFocus();
    Saisir(QString::fromStdString(arbre.Racine()));
    Lancer();
    ASSERT_TRUE(AttendreFin());
    EXPECT_EQ(QApplication::focusWidget(), c->EditHomeRepertoireScan);
    // Stopped by the user, the same.
    Lancer();
    ASSERT_EQ(Scans().Etat(), GestionScan::EtatScan::EnCours);
    QTest::mouseClick(c->LabelArret, Qt::LeftButton, {}, Milieu(c->LabelArret));
    EXPECT_EQ(Scans().Etat(), GestionScan::EtatScan::Termine);
    EXPECT_EQ(QApplication::focusWidget(), c->EditHomeRepertoireScan);
}

TEST_F(PanneauHome, AFilePathPassesAndTildeMeansHome)
{
    ArbreTemporaire arbre;
    const std::string fichier = arbre.Fichier("seul.jpg");
    Saisir(QString::fromStdString(fichier));
    Lancer();
    EXPECT_EQ(Scans().Etat(), GestionScan::EtatScan::EnCours);
    ASSERT_TRUE(AttendreFin());
    EXPECT_EQ(c->LabelHomeFichierNbTotal->text(), "0");

    // "~/..." starts in the home directory.
    setenv("HOME", arbre.Racine().c_str(), 1);
    arbre.Fichier("Musique/chanson.ogg");
    Saisir("~/Musique");
    Lancer();
    ASSERT_TRUE(AttendreFin());
    EXPECT_EQ(c->LabelHomeFichierNbSon->text(), "1");
}

TEST_F(PanneauHome, ProgressBlockStaysLeftOf440)
{
    ArbreTemporaire arbre;
    arbre.Fichier("a.jpg");
    GestionProgressBar& barre = application_->Barre;
    barre.Demarrer();
    EXPECT_EQ(c->ImgProgressBar->x(), 225);
    int plusADroite = 0;
    for (int i = 0; i < 200; ++i) {
        barre.Avancer();
        plusADroite = std::max(plusADroite, c->ImgProgressBar->x());
        EXPECT_GE(c->ImgProgressBar->x(), 225);
    }
    EXPECT_EQ(plusADroite, 440);
    barre.Basculer();
    EXPECT_FALSE(barre.EnCours);
    const int x = c->ImgProgressBar->x();
    EXPECT_FALSE(c->TimerProgressBar->isActive());
    QCoreApplication::processEvents();
    EXPECT_EQ(c->ImgProgressBar->x(), x);
    barre.Arreter();
    EXPECT_FALSE(c->ImgProgressBar->isVisible());
}

TEST_F(PanneauHome, HoverLooksFollowTheirStates)
{
    GestionBouton& b = Bouton();
    QTest::mouseMove(c->ImgHomeParcourir, Milieu(c->ImgHomeParcourir));
    // Hovered, the pictures move one pixel down and right.
    EXPECT_EQ(c->ImgHomeParcourir->pos(), GestionBouton::PlaceParcourir + QPoint(1, 1));
    EXPECT_EQ(c->ImgHomeParcourirBas->pos(), GestionBouton::PlaceParcourirBas + QPoint(1, 1));
    QTest::mouseMove(c->ImgFond, c->PointNu());
    EXPECT_EQ(c->ImgHomeParcourir->pos(), GestionBouton::PlaceParcourir);
    EXPECT_EQ(c->ImgHomeParcourirBas->pos(), GestionBouton::PlaceParcourirBas);

    EXPECT_EQ(b.EtatOption, 2);
    QTest::mouseMove(c->LabelHomeOption, Milieu(c->LabelHomeOption));
    EXPECT_EQ(b.EtatOption, 1);
    EXPECT_EQ(c->LabelHomeOption->CouleurTexte(), QColor(0x00, 0x00, 0xFF));
    // A click opens the walk options' menu and starts nothing.
    QTest::mouseClick(c->LabelHomeOption, Qt::LeftButton, {}, Milieu(c->LabelHomeOption));
    EXPECT_EQ(application_->Scans.Etat(), GestionScan::EtatScan::Jamais);
    auto* menu = f->findChild<QMenu*>("MenuOptions");
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(AttendreQue([menu] { return menu->isVisible(); }));
    menu->close();
    QTest::mouseMove(c->ImgFond, c->PointNu());
    EXPECT_EQ(b.EtatOption, 2);
    EXPECT_EQ(c->LabelHomeOption->CouleurTexte(), QColor(Qt::black));

    QTest::mouseMove(c->LabelHomeScan, Milieu(c->LabelHomeScan));
    EXPECT_EQ(c->LabelHomeScan->CouleurTexte(), QColor(0x80, 0x80, 0xFF));
    QTest::mouseMove(c->ImgFond, c->PointNu());
    EXPECT_EQ(c->LabelHomeScan->CouleurTexte(), QColor(0xA7, 0x9F, 0x8F));

    // During a scan, paused here so that it lasts, the scan label keeps its
    // active colour.
    ArbreTemporaire arbre;
    for (int d = 0; d < 30; ++d)
        arbre.Fichier("d" + std::to_string(d / 10) + "/e" + std::to_string(d) + "/a.png");
    Saisir(QString::fromStdString(arbre.Racine()));
    Scans().RetenirMarche = true;
    Lancer();
    Scans().RetenirMarche = false;
    Bouton().PauseScan();
    ASSERT_EQ(Scans().Etat(), GestionScan::EtatScan::EnPause);
    ASSERT_FALSE(Scans().TravailleursFinis()) << "the walk ended before the pause";
    QTest::mouseMove(c->ImgFond, c->PointNu());
    EXPECT_EQ(c->LabelHomeScan->CouleurTexte(), QColor(0x80, 0x80, 0xFF));
    QTest::mouseMove(c->LabelArret, Milieu(c->LabelArret));
    EXPECT_EQ(c->LabelArret->CouleurTexte(), QColor(0xFF, 0x80, 0x40));
    QTest::mouseMove(c->ImgFond, c->PointNu());
    EXPECT_EQ(c->LabelArret->CouleurTexte(), QColor(0xAD, 0xAD, 0xAD));
    Bouton().PauseScan();
    ASSERT_TRUE(AttendreFin());
    EXPECT_EQ(c->LabelHomeScan->CouleurTexte(), QColor(0xA7, 0x9F, 0x8F));
}

TEST_F(PanneauHome, BrowsingPutsTheChosenDirectoryInTheBox)
{
    ArbreTemporaire arbre;
    const std::string choisi = arbre.Repertoire("Choisi");
    for (bool accepter : {false, true}) {
        Au<QFileDialog>([&](QFileDialog* dialogue) {
            EXPECT_EQ(dialogue->fileMode(), QFileDialog::Directory);
            EXPECT_FALSE(f->isEnabled());
            if (!accepter) {
                dialogue->reject();
                return;
            }
            dialogue->setDirectory(QString::fromStdString(choisi));
            QMetaObject::invokeMethod(dialogue, "accept");
        });
        QTest::mouseClick(c->ImgHomeParcourirBas, Qt::LeftButton, {}, Milieu(c->ImgHomeParcourirBas));
        EXPECT_TRUE(f->isEnabled());
        EXPECT_EQ(c->EditHomeRepertoireScan->text().toStdString(),
                  accepter ? choisi : " Cliquer sur l'image pour Parcourir");
    }
    EXPECT_EQ(Bouton().Dialogue.Repertoire.toStdString(), choisi);
}

TEST_F(PanneauHome, TheWalkOptionsMenuSavesAndIsUsedByTheNextScan)
{
    ArbreTemporaire arbre;
    arbre.Fichier("vue.jpg");
    arbre.Fichier(".cachee.jpg");
    // Space on ">>>" opens the menu; returns its hidden-files item.
    auto ouvrir = [this]() -> QAction* {
        auto* menu = f->findChild<QMenu*>("MenuOptions");
        QTest::keyClick(c->LabelHomeOption, Qt::Key_Space);
        if (!menu || !AttendreQue([menu] { return menu->isVisible(); }) || menu->actions().size() != 3)
            return nullptr;
        EXPECT_EQ(menu->actions()[0]->text(), "Inclure les sous-répertoires");
        EXPECT_EQ(menu->actions()[2]->text(), "Inclure les répertoires cachés");
        EXPECT_TRUE(menu->actions()[2]->isChecked());
        return menu->actions()[1];
    };
    // The hidden-files item toggled, saved at once and used by the next scan.
    for (const bool redemarrer : {false, true}) {
        if (redemarrer)
            Demarrer();
        QAction* cachees = ouvrir();
        ASSERT_NE(cachees, nullptr);
        EXPECT_EQ(cachees->text(), "Inclure les fichiers cachés");
        EXPECT_EQ(cachees->isChecked(), !redemarrer);
        cachees->trigger();
        qobject_cast<QMenu*>(cachees->parent())->close();
        EXPECT_EQ(application_->Options.FichierCache, redemarrer);
        EXPECT_TRUE(AttendreQue([&] {
            return config_->Lire().find(redemarrer ? "\"FichierCache\"=dword:00000001"
                                                   : "\"FichierCache\"=dword:00000000") != std::string::npos;
        }));
        Saisir(QString::fromStdString(arbre.Racine()));
        Lancer();
        ASSERT_TRUE(AttendreFin());
        EXPECT_EQ(c->LabelHomeFichierNbImage->text(), redemarrer ? "2" : "1");
    }
}

TEST_F(PanneauHome, AHeldSettingsLockNeverHoldsTheWindowAndRefusedSavesNameTheFileAndTheCause)
{
    // Another process holds the settings folder's lock, for 30 s at most.
    const std::string dossier = config_->Dossier() + "/Dudidevir";
    const auto verrouTenu = [&dossier] {
        const int d = ::open(dossier.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        const bool tenu = ::flock(d, LOCK_EX | LOCK_NB) != 0;
        ::close(d);
        return tenu;
    };
    QProcess gardien;
    gardien.start("flock", {"-o", QString::fromStdString(dossier), "sleep", "30"});
    ASSERT_TRUE(AttendreQue(verrouTenu));
    // ">>>": the hidden files item toggled; then the next box's text.
    const auto cocher = [this] {
        auto* menu = f->findChild<QMenu*>("MenuOptions");
        QTest::keyClick(c->LabelHomeOption, Qt::Key_Space);
        EXPECT_TRUE(AttendreQue([menu] { return menu->isVisible(); }));
        menu->actions()[1]->trigger();
        menu->close();
    };
    QString texte;
    const auto lireBoite = [this, &texte] {
        texte.clear();
        Au<QMessageBox>([&texte](QMessageBox* boite) {
            texte = boite->text();
            boite->accept();
        });
    };
    cocher();
    // The window's timers keep running meanwhile.
    QTimer horloge;
    horloge.start(10);
    ASSERT_TRUE(AttendreTics(&horloge, 20));
    EXPECT_TRUE(verrouTenu()) << "the window waited for the lock to be let go";

    // The close waits a while, then says why nothing was saved; let go,
    // the save lands.
    application_->Options.AttenteFermeture = std::chrono::milliseconds(1500);
    lireBoite();
    QTest::mouseClick(c->ImgClose, Qt::LeftButton, {}, QPoint(7, 7));
    EXPECT_EQ(texte.section('\n', 0, 0), "Failed to set data for 'FichierCache'");
    EXPECT_TRUE(texte.section('\n', 1).contains(QString::fromStdString(config_->FichierUtilisateur())) &&
                texte.section('\n', 1).contains("verrouillé par un autre programme"))
        << texte.toStdString();
    gardien.kill();
    EXPECT_TRUE(
        AttendreQue([this] { return config_->Lire().find("\"FichierCache\"=dword:00000000") != std::string::npos; }));

    // A refused write at a tick is said with the file and its cause.
    Demarrer();
    std::filesystem::remove(config_->FichierUtilisateur());
    std::filesystem::create_directories(config_->FichierUtilisateur());
    lireBoite();
    cocher();
    ASSERT_TRUE(AttendreQue([&texte] { return !texte.isEmpty(); }));
    EXPECT_TRUE(texte.startsWith("Le réglage ne peut pas être enregistré : Failed to set data for '"));
    EXPECT_TRUE(texte.section('\n', 1).contains(QString::fromStdString(config_->FichierUtilisateur())) &&
                texte.section('\n', 1).contains("un dossier"))
        << texte.toStdString();
}

TEST_F(PanneauHome, ClosingDuringAScanStopsItThenSaves)
{
    ArbreTemporaire arbre;
    for (int d = 0; d < 400; ++d)
        for (int i = 0; i < 5; ++i)
            arbre.Fichier("d" + std::to_string(d) + "/f" + std::to_string(i) + ".mp3");
    Saisir(QString::fromStdString(arbre.Racine()));
    Lancer();
    ASSERT_EQ(Scans().Etat(), GestionScan::EtatScan::EnCours);
    QTest::mouseClick(c->ImgClose, Qt::LeftButton, {}, Milieu(c->ImgClose));
    EXPECT_EQ(Scans().Etat(), GestionScan::EtatScan::Termine);
    EXPECT_FALSE(c->TimerFichier->isActive());
    // The workers are done: the counters no longer move.
    EXPECT_TRUE(Scans().TravailleursFinis());
    const std::string reglages = config_->Lire();
    for (const char* nom : {"FichierCache", "RepertoireCache", "SousRepertoire", "DessinSon", "TreeVideo", "TreeSon",
                            "TreeImage", "TreeTexte"})
        EXPECT_NE(reglages.find(std::string("\"") + nom + "\"=dword:"), std::string::npos) << nom;
}

TEST_F(PanneauHome, AStopAsTheStoreEndsDoesNotEndTheNextScan)
{
    ArbreTemporaire petit, grand;
    petit.Fichier("a.jpg");
    for (int d = 0; d < 300; ++d)
        for (int i = 0; i < 5; ++i)
            grand.Fichier("d" + std::to_string(d) + "/f" + std::to_string(i) + ".jpg");
    Saisir(QString::fromStdString(petit.Racine()));
    Lancer();
    // No event runs: the store's end-of-scan notice, posted before its
    // worker returns, waits in the queue while the user stops the scan and
    // starts the next one.
    ASSERT_TRUE(AttendreSansEvenements([this] { return Scans().TravailleursFinis(); }));
    ASSERT_TRUE(application_->Arbres.FinDemandee);
    QTest::mouseClick(c->LabelArret, Qt::LeftButton, {}, Milieu(c->LabelArret));
    ASSERT_EQ(Scans().Etat(), GestionScan::EtatScan::Termine);
    Saisir(QString::fromStdString(grand.Racine()));
    Lancer();
    ASSERT_TRUE(AttendreFin());
    EXPECT_EQ(Stock().Compteur(Categorie::Image), 1500);
}

TEST_F(PanneauHome, ADroppedFolderIsScannedAsTypedAndAFileScansItsFolder)
{
    ArbreTemporaire arbre;
    RemplirArbre(arbre);
    const std::string vacances = arbre.Racine() + "/Vacances";
    // A folder, dropped while a category shows: the Home zone shows the path
    // box holding it, and the scan runs, as Enter does.
    application_->Menu.AfficherSon(true);
    ASSERT_FALSE(c->EditHomeRepertoireScan->isVisible());
    ASSERT_TRUE(DeposerUrls({QUrl::fromLocalFile(QString::fromStdString(vacances))}));
    ASSERT_TRUE(AttendreQue([this] { return Scans().Etat() != GestionScan::EtatScan::Jamais; }));
    EXPECT_TRUE(c->EditHomeRepertoireScan->isVisible());
    EXPECT_EQ(c->EditHomeRepertoireScan->text().toStdString(), vacances);
    ASSERT_TRUE(AttendreFin());
    EXPECT_EQ(c->LabelHomeFichierNbTotal->text(), "7");
    // A file: its folder.
    ASSERT_TRUE(DeposerUrls({QUrl::fromLocalFile(QString::fromStdString(arbre.Racine() + "/Docs/rapport.pdf"))}));
    ASSERT_TRUE(
        AttendreQue([&] { return c->EditHomeRepertoireScan->text().toStdString() == arbre.Racine() + "/Docs"; }));
    ASSERT_TRUE(AttendreFin());
    EXPECT_EQ(c->LabelHomeFichierNbTotal->text(), "1");

    // A name that is not UTF-8 reaches the walk as its bytes, and so does
    // Enter on the path box that shows it.
    const std::string latin1 = arbre.Racine() + "/\xE9t\xE9";
    arbre.Fichier("\xE9t\xE9/plage.jpg");
    QMimeData donnees;
    donnees.setData("text/uri-list", "file://" + QByteArray::fromStdString(latin1).toPercentEncoding("/") + "\r\n");
    etatAvantDepot_ = Scans().Etat();
    ASSERT_TRUE(Deposer(donnees, Qt::CopyAction | Qt::LinkAction));
    ASSERT_TRUE(
        AttendreQue([this] { return c->EditHomeRepertoireScan->text().endsWith(QChar::ReplacementCharacter); }));
    ASSERT_TRUE(AttendreFin());
    EXPECT_EQ(c->LabelHomeFichierNbImage->text(), "1");
    Lancer();
    ASSERT_TRUE(AttendreFin());
    EXPECT_EQ(c->LabelHomeFichierNbImage->text(), "1");
    EXPECT_TRUE(AttendreQue(
        [&] { return config_->Lire().find("\"DernierRepertoire\"=\"" + latin1 + "\"") != std::string::npos; }));

    // A path that is gone by the time it is looked at is said as Enter says it.
    QString texte;
    std::filesystem::remove_all(vacances);
    Au<QMessageBox>([&texte](QMessageBox* boite) {
        texte = boite->text();
        boite->accept();
    });
    ASSERT_TRUE(DeposerUrls({QUrl::fromLocalFile(QString::fromStdString(vacances))}));
    ASSERT_TRUE(AttendreQue([&] { return !texte.isEmpty(); }));
    EXPECT_EQ(texte.toStdString(), "Le répertoire \" " + vacances + " \" n'existe pas.");
    EXPECT_EQ(Scans().Etat(), GestionScan::EtatScan::Termine);
}

TEST_F(PanneauHome, DropsOtherThanOneLocalPathAndDropsDuringAScanAreRefused)
{
    ArbreTemporaire arbre;
    for (int d = 0; d < 300; ++d)
        arbre.Fichier("d" + std::to_string(d / 100) + "/e" + std::to_string(d) + "/a.png");
    const QUrl dossier = QUrl::fromLocalFile(QString::fromStdString(arbre.Racine()));
    EXPECT_FALSE(DeposerUrls({dossier, dossier}));
    EXPECT_FALSE(DeposerUrls({QUrl("http://exemple.org/Photos")}));
    EXPECT_FALSE(DeposerUrls({QUrl("file://serveur/partage/Photos")}));
    QMimeData texte;
    texte.setText(QString::fromStdString(arbre.Racine()));
    EXPECT_FALSE(Deposer(texte));
    // Over the path box too, which would take the text as typed.
    EXPECT_FALSE(Deposer(texte, Qt::CopyAction | Qt::MoveAction, c->EditHomeRepertoireScan->geometry().center()));
    // Only moving is offered: the file manager would delete what it moved.
    QMimeData aDeplacer;
    aDeplacer.setUrls({dossier});
    EXPECT_FALSE(Deposer(aDeplacer, Qt::MoveAction));
    // No widget of the window takes a drop before the frame does.
    for (QWidget* composant : f->findChildren<QWidget*>())
        EXPECT_FALSE(composant->acceptDrops()) << composant->objectName().toStdString();
    QCoreApplication::processEvents();
    EXPECT_EQ(Scans().Etat(), GestionScan::EtatScan::Jamais);
    EXPECT_EQ(c->EditHomeRepertoireScan->text(), " Cliquer sur l'image pour Parcourir");

    // During a scan, paused here so that it lasts.
    Saisir(QString::fromStdString(arbre.Racine() + "/d1"));
    Lancer();
    Bouton().PauseScan();
    ASSERT_EQ(Scans().Etat(), GestionScan::EtatScan::EnPause);
    EXPECT_FALSE(DeposerUrls({dossier}));
    QCoreApplication::processEvents();
    EXPECT_EQ(c->EditHomeRepertoireScan->text().toStdString(), arbre.Racine() + "/d1");
    Bouton().PauseScan();
    ASSERT_TRUE(AttendreFin());
    EXPECT_EQ(Stock().Compteur(Categorie::Image), 100);
    // Over the path box, the drop reaches the window.
    EXPECT_TRUE(DeposerUrls({dossier}, c->EditHomeRepertoireScan->geometry().center()));
    ASSERT_TRUE(AttendreQue([this] { return Scans().Etat() == GestionScan::EtatScan::EnCours; }));
}

TEST_F(PanneauHome, TheBrowserOpensAtTheFolderLastScannedWhileItIsThereElseAtHome)
{
    ArbreTemporaire arbre, maison;
    const std::string scanne = arbre.Repertoire("Scanné");
    const QByteArray ancienneMaison = qgetenv("HOME");
    qputenv("HOME", QByteArray::fromStdString(maison.Racine()));
    // Where the browser opens, taken as it is by "Choose".
    auto choisiAuDepart = [this] {
        Saisir("");
        Au<QFileDialog>([](QFileDialog* dialogue) { QMetaObject::invokeMethod(dialogue, "accept"); });
        QTest::mouseClick(c->ImgHomeParcourirBas, Qt::LeftButton, {}, Milieu(c->ImgHomeParcourirBas));
        EXPECT_TRUE(f->isEnabled());
        return c->EditHomeRepertoireScan->text().toStdString();
    };
    EXPECT_EQ(choisiAuDepart(), maison.Racine());
    Saisir(QString::fromStdString(scanne));
    Lancer();
    ASSERT_TRUE(AttendreFin());
    EXPECT_TRUE(AttendreQue(
        [&] { return config_->Lire().find("\"DernierRepertoire\"=\"" + scanne + "\"") != std::string::npos; }));
    EXPECT_EQ(choisiAuDepart(), scanne);
    // Kept for the next run; once the folder is gone, home.
    Demarrer();
    EXPECT_EQ(choisiAuDepart(), scanne);
    std::filesystem::remove(scanne);
    EXPECT_EQ(choisiAuDepart(), maison.Racine());
    // Neither there: the dialog's own choice, still a folder that exists.
    qputenv("HOME", QByteArray::fromStdString(arbre.Racine() + "/partie"));
    const std::string choisi = choisiAuDepart();
    qputenv("HOME", ancienneMaison);
    EXPECT_TRUE(std::filesystem::is_directory(choisi)) << choisi;
}
