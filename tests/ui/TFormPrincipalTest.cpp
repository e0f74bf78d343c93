// The real main window offscreen, after the real start-up: its components,
// skin pictures, title-bar faces, menu zones and about box.

#include "app/Application.h"
#include "shared/Registre.h"
#include "trees/Noeud.h"
#include "trees/ArbreCategorie.h"
#include "widgets/Cadre.h"
#include "widgets/Etiquette.h"
#include "widgets/ImageComposant.h"
#include "widgets/ListeImages.h"
#include "widgets/TFormImage.h"
#include "ui/GestionBouton.h"
#include "ui/TFormPrincipal.h"
#include "ui/TFormPropos.h"
#include "widgets/ZoneSaisie.h"

#include "support/ArbreTemporaire.h"
#include "support/Attendre.h"
#include "support/AvecApplication.h"
#include "support/ConfigTemporaire.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

class FenetrePrincipale : public AvecApplication
{};

} // namespace

TEST_F(FenetrePrincipale, FrameAndHomePanelComponents)
{
    EXPECT_EQ(f->size(), QSize(TFormPrincipal::Largeur, TFormPrincipal::Hauteur));
    EXPECT_TRUE(f->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(f->windowTitle(), " Ruvizaro");
    EXPECT_EQ(f->minimumSize(), f->maximumSize());

    // Every component lies inside the window, and every skin picture shows
    // at its own size: none is squeezed or cut by its component.
    const QRect fenetre = f->rect();
    for (const QWidget* composant : f->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        EXPECT_TRUE(fenetre.contains(composant->geometry())) << composant->objectName().toStdString();
    for (const ImageComposant* image : f->findChildren<ImageComposant*>()) {
        if (!image->ImageVide()) {
            EXPECT_EQ(image->Image().deviceIndependentSize().toSize(), image->size())
                << image->objectName().toStdString();
        }
    }
    // What frames what: the trees in their bevel, the preview pictures in
    // theirs, the counters on their background, the play buttons left of
    // their position bar.
    for (const ArbreCategorie* arbre : c->Arbres())
        EXPECT_TRUE(c->Bevel->geometry().contains(arbre->geometry()));
    for (const QWidget* apercu : std::initializer_list<const QWidget*>{c->ImgImagePrevisu, c->ImageSon, c->ImageVideo,
                                                                       c->ImgTextePrevisu, c->FenetreVideo})
        EXPECT_TRUE(c->BevelPrevisu->geometry().contains(apercu->geometry())) << apercu->objectName().toStdString();
    for (const Etiquette* compteur : {c->LabelHomeFichierNbVideo, c->LabelHomeFichierNbTotal})
        EXPECT_TRUE(c->ImgHomeFichierFond->geometry().contains(compteur->geometry()));
    EXPECT_LT(c->ImageSonStop->geometry().right(), c->TrackBarSon->geometry().left());
    EXPECT_FALSE(c->ComboBoxChoixTrie->geometry().intersects(c->BevelPrevisu->geometry()));
    EXPECT_FALSE(c->EditHomeRepertoireScan->geometry().intersects(c->ImgHomeParcourir->geometry()));

    EXPECT_EQ(c->LabelHomeScan->text(), "     Lancement du Scan");
    EXPECT_EQ(c->LabelHomeScan->pos(), GestionBouton::PlaceLegendeScan);
    EXPECT_EQ(c->LabelHomeParcourir->text(), "Chemin d'accès à la lecture des fichiers :");
    EXPECT_EQ(c->LabelHomeOption->text(), ">>>");
    EXPECT_EQ(c->LabelEnCourAffichage->text(), "En cour d'affichage");
    EXPECT_EQ(c->EditHomeRepertoireScan->text(), " Cliquer sur l'image pour Parcourir");
    EXPECT_EQ(c->LabelHomeFichierNbTotal->text(), "0");
    EXPECT_EQ(c->LabelHomeFichierNbTotal->alignment() & Qt::AlignRight, Qt::AlignRight);
    EXPECT_EQ(c->LabelHomeFichierNbVideo->font().family(), "DejaVu Sans");
    EXPECT_EQ(c->LabelHomeFichierNbVideo->font().pixelSize(), 13);
    EXPECT_EQ(c->LabelHomeScan->font().pixelSize(), 16);
    EXPECT_TRUE(c->LabelHomeScan->font().bold());
    EXPECT_EQ(c->ImgClose->Hint(), "Fermer");
    EXPECT_EQ(c->ImgReduire->Hint(), "Réduire");
    EXPECT_TRUE(c->ImgClose->toolTip().isEmpty());
    EXPECT_EQ(c->ImgHomeScan->cursor().shape(), Qt::PointingHandCursor);

    const QStringList items = {"Par Extension", "Par Ordre Alphabétique", "Par Répertoire", "Par Taille"};
    ASSERT_EQ(c->ComboBoxChoixTrie->count(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(c->ComboBoxChoixTrie->itemText(i), items[i]);

    EXPECT_EQ(c->TimerProgressBar->interval(), 20);
    EXPECT_EQ(c->TimerFichier->interval(), 100);
    EXPECT_EQ(c->TimerSon->interval(), 10);
    EXPECT_EQ(c->TimerVideo->interval(), 500);
    EXPECT_FALSE(c->TimerProgressBar->isActive());
    EXPECT_FALSE(c->TimerFichier->isActive());

    // The twelve trees, each found by its key.
    for (CleArbre cle : ToutesLesCles)
        EXPECT_EQ(c->Arbre(cle)->Cle(), cle);
    EXPECT_EQ(c->Arbre({Categorie::Son, Ordre::Alphabetique}), c->TreeViewSonAlpha);
}

TEST_F(FenetrePrincipale, AfterShowOnlyTheHomePanelIsVisible)
{
    for (QWidget* w : std::initializer_list<QWidget*>{c->ImgHomeParcourir, c->EditHomeRepertoireScan, c->LabelHomeScan,
                                                      c->LabelHomeFichierNbTotal, c->ImgFond, c->ImgTitre})
        EXPECT_TRUE(w->isVisible());
    for (QWidget* w :
         std::initializer_list<QWidget*>{c->Bevel, c->ComboBoxChoixTrie, c->BevelPrevisu, c->LabelEnCourAffichage,
                                         c->ImgImagePrevisu, c->ImageSon, c->ImageVideo, c->TrackBarSon, c->LabelPause,
                                         c->LabelArret, c->ImgProgressBar, c->TreeViewVideoRep, c->TreeViewTexteExt})
        EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(application_->Menu.ZoneCourante(), 1);
    EXPECT_EQ(c->ZoneHome->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(c->ZoneVideo->cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(FenetrePrincipale, SkinPicturesHaveTheirSizes)
{
    const QSize menu(111, 451), selection(100, 70), bouton(15, 15), previsu(160, 160);
    struct Taille
    {
        const QPixmap* Image;
        QSize Attendue;
    };
    const TFormImage* i = c->Skin;
    const Taille tailles[] = {
        {&i->ImgMenuHome, menu},
        {&i->ImgMenuTransfert, menu},
        {&i->ImgHomeSelection, selection},
        {&i->ImgTransfertSelection, selection},
        {&i->ImgCloseBase, bouton},
        {&i->ImgReduireCilck, bouton},
        {&i->ImgImageNonSupporte, previsu},
        {&i->ImgNonTrouve, previsu},
        {&i->ImgPlay, QSize(12, 11)},
        {&i->ImgPause, QSize(8, 12)},
        {&i->ImageTexte, QSize(100, 100)},
    };
    for (const Taille& t : tailles)
        EXPECT_EQ(t.Image->size(), t.Attendue);
    EXPECT_EQ(c->ImgFond->Image().size(), c->ImgFond->size());
    EXPECT_EQ(c->ImgTitre->Image().size(), c->ImgTitre->size());
    EXPECT_EQ(c->ImgHomeFichierFond->Image().size(), c->ImgHomeFichierFond->size());
    EXPECT_EQ(c->ImgProgressBar->Image().size(), c->ImgProgressBar->size());
    EXPECT_EQ(c->ImgProgressBarDevant->Image().size(), c->ImgProgressBarDevant->size());
    EXPECT_EQ(c->ImageSonAucuneAnim->Image().size(), previsu);
    // Two folder pictures, then one icon per extension.
    EXPECT_EQ(c->ImageListExt->Image(0).size(), QSize(ListeImages::Cote, ListeImages::Cote));
    EXPECT_EQ(c->ImageListExt->Image(1).size(), QSize(ListeImages::Cote, ListeImages::Cote));
    EXPECT_EQ(c->ImageListExt->Nombre(), 32);
    // A JPEG of the skin is decoded with its colours, not left blank.
    const QImage fond = c->ImgFond->Image().toImage();
    EXPECT_NE(fond.pixel(10, 10), 0u);
}

TEST_F(FenetrePrincipale, TitleBarFacesChangeOnlyWithTheirState)
{
    GestionBarreSystem& barre = application_->BarreSystem;
    EXPECT_EQ(barre.EtatFermer, GestionBarreSystem::FermerBase);
    EXPECT_EQ(barre.EtatReduire, GestionBarreSystem::ReduireBase);
    QSignalSpy fermer(c->ImgClose, &ImageComposant::ImageChangee);
    QSignalSpy reduire(c->ImgReduire, &ImageComposant::ImageChangee);

    for (int i = 0; i < 5; ++i)
        QTest::mouseMove(c->ImgClose, Milieu(c->ImgClose) + QPoint(0, i % 2));
    EXPECT_EQ(fermer.count(), 1);
    EXPECT_EQ(reduire.count(), 0);
    EXPECT_EQ(barre.EtatFermer, GestionBarreSystem::FermerSurvole);
    EXPECT_EQ(c->ImgClose->Image().cacheKey(), c->Skin->ImgCloseMove.cacheKey());

    QTest::mousePress(c->ImgClose, Qt::LeftButton, {}, Milieu(c->ImgClose));
    EXPECT_EQ(barre.EtatFermer, GestionBarreSystem::FermerClic);
    // Releasing outside the picture does not close.
    QTest::mouseRelease(c->ImgClose, Qt::LeftButton, {}, c->ImgClose->rect().bottomRight() * 3);
    EXPECT_TRUE(f->isVisible());
    QTest::mouseMove(c->ImgClose, Milieu(c->ImgClose) + QPoint(1, 1));
    EXPECT_EQ(barre.EtatFermer, GestionBarreSystem::FermerSurvole);
    EXPECT_EQ(fermer.count(), 3);

    QTest::mouseMove(c->ImgReduire, Milieu(c->ImgReduire));
    EXPECT_EQ(barre.EtatReduire, GestionBarreSystem::ReduireSurvole);
    EXPECT_EQ(barre.EtatFermer, GestionBarreSystem::FermerBase);
    EXPECT_EQ(reduire.count(), 1);
    EXPECT_EQ(fermer.count(), 4);

    // The background puts both back.
    QTest::mouseMove(c->ImgFond, c->PointNu());
    EXPECT_EQ(barre.EtatReduire, GestionBarreSystem::ReduireBase);
    QTest::mouseMove(c->ImgFond, c->PointNu() + QPoint(0, 1));
    EXPECT_EQ(reduire.count(), 2);
    EXPECT_EQ(fermer.count(), 4);
}

TEST_F(FenetrePrincipale, MinimiseNeverLosesTheWindow)
{
    // Offscreen there is no tray: the window minimises normally.
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    QTest::mouseClick(c->ImgReduire, Qt::LeftButton, {}, Milieu(c->ImgReduire));
    EXPECT_TRUE(f->isVisible());
    EXPECT_TRUE(f->windowState() & Qt::WindowMinimized);
    EXPECT_EQ(application_->BarreSystem.EtatReduire, GestionBarreSystem::ReduireBase);
    application_->BarreSystem.Restaurer();
    EXPECT_FALSE(f->windowState() & Qt::WindowMinimized);
}

TEST_F(FenetrePrincipale, AboutBoxIsCentredOnTheWindow)
{
    // A start as the program's own: no version set before its window is built.
    QCoreApplication::setApplicationVersion({});
    Demarrer();
    for (const QPoint& position : {QPoint(100, 80), QPoint(300, 200)}) {
        f->move(position);
        bool montree = false;
        QTimer::singleShot(0, [&] {
            montree = c->FormPropos->isVisible();
            EXPECT_TRUE(c->FormPropos->isModal());
            const QPoint centre = c->FormPropos->geometry().center();
            EXPECT_LE((centre - f->geometry().center()).manhattanLength(), 2);
            EXPECT_EQ(c->FormPropos->size(), QSize(TFormPropos::Largeur, TFormPropos::Hauteur));
            EXPECT_EQ(c->FormPropos->LabelLogiciel->text(), " Ruvizaro");
            EXPECT_FALSE(QCoreApplication::applicationVersion().isEmpty());
            EXPECT_EQ(c->FormPropos->LabelVersion->text(), " Version " + QCoreApplication::applicationVersion());
            EXPECT_FALSE(c->FormPropos->LabelDescription->text().trimmed().isEmpty());
            c->FormPropos->ButtonOK->click();
        });
        QTest::mouseClick(c->ImagePropos, Qt::LeftButton, {}, Milieu(c->ImagePropos));
        EXPECT_TRUE(montree);
        EXPECT_FALSE(c->FormPropos->isVisible());
    }
}

TEST_F(FenetrePrincipale, TreeHandlersFillPreviewAndOpen)
{
    ArbreTemporaire arbre;
    QImage photo(64, 48, QImage::Format_RGB32);
    photo.fill(Qt::darkGreen);
    ASSERT_TRUE(photo.save(QString::fromStdString(arbre.Racine() + "/vue.jpg"), "JPG"));
    arbre.Fichier("rapport.pdf", 3000);
    std::vector<std::string> ouverts;
    application_->Previsu.OuvrirAvecBureau = [&](const std::string& chemin) { ouverts.push_back(chemin); };

    c->EditHomeRepertoireScan->setText(QString::fromStdString(arbre.Racine()));
    QTest::keyClick(c->EditHomeRepertoireScan, Qt::Key_Return);
    ASSERT_TRUE(AttendreQue([this] { return application_->Scans.Etat() == GestionScan::EtatScan::Termine; }));
    QTest::mouseClick(c->ZoneImage, Qt::LeftButton, {}, Milieu(c->ZoneImage));
    c->ComboBoxChoixTrie->setCurrentIndex(0);
    ArbreCategorie* ext = c->TreeViewImageExt;
    ASSERT_TRUE(ext->isVisible());
    ASSERT_EQ(ext->NombreRacines(), 1);
    Noeud* groupe = ext->Racine(0);
    EXPECT_EQ(groupe->Texte, "(1) jpg");

    // Expanding through the view shows the open folder and fills the group.
    ext->Deployer(groupe);
    EXPECT_EQ(groupe->Image, 1);
    ASSERT_TRUE(AttendreQue([&] { return !groupe->Enfants.empty() && groupe->Enfants[0]->Texte == "vue.jpg"; }));
    ext->collapse(ext->model()->index(0, 0));
    EXPECT_EQ(groupe->Image, 0);

    // Selecting the leaf previews the picture; a double click opens it.
    ext->Selectionner(groupe->Enfants[0]);
    ASSERT_TRUE(AttendreQue([this] {
        return !application_->Previsu.LectureEnCours() && !application_->Previsu.Image.ChargementEnCours();
    }));
    EXPECT_EQ(c->LabelImageNom->text(), "vue.jpg");
    EXPECT_EQ(c->LabelImageDimension->text(), "Dimension : 64x48");
    EXPECT_EQ(c->LabelImageExtension->text(), "Image JPG");
    QTest::mouseDClick(c->ImgImagePrevisu, Qt::LeftButton, {}, Milieu(c->ImgImagePrevisu));
    ASSERT_EQ(ouverts.size(), 1u);
    EXPECT_EQ(ouverts[0], arbre.Racine() + "/vue.jpg");
    // Selecting a group node previews nothing new.
    ext->Selectionner(groupe);
    EXPECT_EQ(c->LabelImageNom->text(), "vue.jpg");

    // A click on the document picture opens the document.
    QTest::mouseClick(c->ZoneTexte, Qt::LeftButton, {}, Milieu(c->ZoneTexte));
    c->ComboBoxChoixTrie->setCurrentIndex(0);
    ArbreCategorie* textes = c->TreeViewTexteExt;
    ASSERT_EQ(textes->NombreRacines(), 1);
    textes->Deployer(textes->Racine(0));
    ASSERT_TRUE(AttendreQue(
        [&] { return !textes->Racine(0)->Enfants.empty() && textes->Racine(0)->Enfants[0]->Texte == "rapport.pdf"; }));
    textes->Selectionner(textes->Racine(0)->Enfants[0]);
    ASSERT_TRUE(AttendreQue([this] { return !application_->Previsu.LectureEnCours(); }));
    EXPECT_EQ(c->LabelTexteTaille->text(), "Taille : 2 Ko");
    QTest::mouseClick(c->ImgTextePrevisu, Qt::LeftButton, {}, Milieu(c->ImgTextePrevisu));
    ASSERT_EQ(ouverts.size(), 2u);
    EXPECT_EQ(ouverts[1], arbre.Racine() + "/rapport.pdf");

    // A new scan clears the panels.
    QTest::mouseClick(c->ZoneHome, Qt::LeftButton, {}, Milieu(c->ZoneHome));
    QTest::keyClick(c->EditHomeRepertoireScan, Qt::Key_Return);
    EXPECT_TRUE(c->LabelTexteNom->text().isEmpty());
    EXPECT_TRUE(application_->Previsu.Image.Chemin.empty());
    ASSERT_TRUE(AttendreQue([this] { return application_->Scans.Etat() == GestionScan::EtatScan::Termine; }));
}

TEST_F(FenetrePrincipale, EveryCloseSavesOnceAsTheClosePictureDoes)
{
    const std::string cle = "Software\\Dudidevir\\Ruvizaro\\1.0";
    // Leaving the message loop by any way saves.
    QTest::mouseClick(c->ZoneImage, Qt::LeftButton, {}, Milieu(c->ZoneImage));
    c->ComboBoxChoixTrie->setCurrentIndex(0);
    QMetaObject::invokeMethod(QCoreApplication::instance(), "aboutToQuit", Qt::DirectConnection);
    const auto image = LireRegistre("HKEY_CURRENT_USER", cle, "TreeImage");
    ASSERT_TRUE(image);
    EXPECT_EQ(image.Valeur(), 1);

    // Alt+F4, the taskbar's close: a close event from the window system.
    Demarrer();
    QTest::mouseClick(c->ZoneSon, Qt::LeftButton, {}, Milieu(c->ZoneSon));
    c->ComboBoxChoixTrie->setCurrentIndex(1);
    EXPECT_TRUE(f->close());
    const auto son = LireRegistre("HKEY_CURRENT_USER", cle, "TreeSon");
    ASSERT_TRUE(son);
    EXPECT_EQ(son.Valeur(), 2);
    // Leaving the message loop afterwards saves nothing again.
    const std::string apres = "Windows Registry Editor Version 5.00\n";
    config_->Ecrire(apres);
    QMetaObject::invokeMethod(QCoreApplication::instance(), "aboutToQuit", Qt::DirectConnection);
    EXPECT_EQ(config_->Lire(), apres);
}

namespace {

// An installed icon theme: hicolor with two of the sized pictures of
// skin/icones, in a temporary folder that Qt searches.
class IconeInstallee : public AvecApplication
{
protected:
    void SetUp() override
    {
        QString index = "[Icon Theme]\nDirectories=16x16,32x32\n";
        for (int cote : {16, 32}) {
            const QString nom = QString("%1x%1").arg(cote);
            ASSERT_TRUE(QDir().mkpath(dossier_.filePath("hicolor/" + nom)));
            ASSERT_TRUE(QFile::copy(Source(cote), dossier_.filePath("hicolor/" + nom + "/ruvizaro.png")));
            index += QString("[%1]\nSize=%2\nType=Fixed\n").arg(nom).arg(cote);
        }
        QFile fichier(dossier_.filePath("hicolor/index.theme"));
        ASSERT_TRUE(fichier.open(QIODevice::WriteOnly) && fichier.write(index.toUtf8()) > 0);
        fichier.close();
        QIcon::setThemeSearchPaths({dossier_.path()});
        QIcon::setThemeName("hicolor");
        AvecApplication::SetUp();
    }
    void TearDown() override
    {
        AvecApplication::TearDown();
        QIcon::setThemeSearchPaths(chemins_);
        QIcon::setThemeName(theme_);
    }
    static QString Source(int cote) { return QString(RUVIZARO_SOURCES "/skin/icones/%1x%1/ruvizaro.png").arg(cote); }

    const QStringList chemins_ = QIcon::themeSearchPaths();
    const QString theme_ = QIcon::themeName();
    QTemporaryDir dossier_;
};

} // namespace

TEST_F(IconeInstallee, TheWindowIconHasTheThemesDrawingsAndTheSkins)
{
    const QIcon icone = f->windowIcon();
    QList<int> cotes;
    for (const QSize& taille : icone.availableSizes())
        cotes << taille.width();
    std::sort(cotes.begin(), cotes.end());
    EXPECT_EQ(cotes, (QList<int>{16, 32, 64, 128}));
    // The small sizes are their own drawings, not the large one scaled down.
    for (int cote : {16, 32})
        EXPECT_EQ(icone.pixmap(QSize(cote, cote), 1.0).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                  QImage(Source(cote)).convertToFormat(QImage::Format_ARGB32_Premultiplied))
            << cote;
}
