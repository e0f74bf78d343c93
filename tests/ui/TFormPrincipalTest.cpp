// The real main window offscreen, after the real start-up: its components,
// skin pictures, title-bar faces, menu zones and about box.

#include "app/Application.h"
#include "shared/Registre.h"
#include "trees/Noeud.h"
#include "trees/ArbreCategorie.h"
#include "widgets/Cadre.h"
#include "widgets/Etiquette.h"
#include "widgets/ImageComposant.h"
#include "shared/ListeImages.h"
#include "widgets/TFormImage.h"
#include "ui/TFormPrincipal.h"
#include "ui/TFormPropos.h"
#include "widgets/ZoneSaisie.h"

#include "support/ArbreTemporaire.h"
#include "support/Attendre.h"
#include "support/AvecApplication.h"
#include "support/ConfigTemporaire.h"

#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

class FenetrePrincipale : public AvecApplication
{
};

}  // namespace

TEST_F(FenetrePrincipale, FrameAndHomePanelComponents)
{
    EXPECT_EQ(f->size(), QSize(586, 451));
    EXPECT_TRUE(f->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(f->windowTitle(), " Ruvizaro");
    EXPECT_EQ(f->minimumSize(), f->maximumSize());

    struct Place
    {
        QWidget* Composant;
        QRect Geometrie;
    };
    const Place places[] = {
        {f->ImgFond, {111, 0, 475, 451}},           {f->ImgTitre, {126, 30, 444, 61}},
        {f->ImgClose, {565, 6, 15, 15}},            {f->ImgReduire, {550, 6, 15, 15}},
        {f->ImagePropos, {120, 24, 73, 73}},        {f->ZoneHome, {6, 6, 100, 70}},
        {f->ZoneTransfert, {6, 356, 100, 70}},      {f->ImgProgressBarFond, {254, 430, 190, 11}},
        {f->ImgProgressBarDevant, {224, 429, 249, 14}}, {f->ImgHomeParcourir, {170, 127, 40, 40}},
        {f->ImgHomeParcourirBas, {148, 158, 71, 13}},   {f->EditHomeRepertoireScan, {226, 141, 313, 21}},
        {f->ImgHomeScan, {240, 192, 40, 40}},       {f->ImgHomeFichierFond, {226, 248, 233, 158}},
        {f->LabelHomeFichierNbVideo, {320, 271, 92, 16}}, {f->LabelHomeFichierNbTotal, {320, 367, 92, 16}},
        {f->TreeViewSonAlpha, {115, 104, 292, 313}}, {f->Bevel, {114, 103, 295, 316}},
        {f->ComboBoxChoixTrie, {413, 397, 161, 22}}, {f->BevelPrevisu, {411, 103, 165, 165}},
        {f->ImgImagePrevisu, {413, 105, 160, 160}}, {f->TrackBarSon, {448, 289, 131, 25}},
        {f->LabelPause, {131, 429, 34, 14}},        {f->LabelArret, {174, 429, 29, 14}},
    };
    for (const Place& p : places)
        EXPECT_EQ(p.Composant->geometry(), p.Geometrie) << p.Composant->metaObject()->className();

    EXPECT_EQ(f->LabelHomeScan->text(), "     Lancement du Scan");
    EXPECT_EQ(f->LabelHomeScan->pos(), QPoint(272, 200));
    EXPECT_EQ(f->LabelHomeParcourir->text(), "Chemin d'accès à la lecture des fichiers :");
    EXPECT_EQ(f->LabelHomeOption->text(), ">>>");
    EXPECT_EQ(f->LabelEnCourAffichage->text(), "En cour d'affichage");
    EXPECT_EQ(f->EditHomeRepertoireScan->text(), " Cliquer sur l'image pour Parcourir");
    EXPECT_EQ(f->LabelHomeFichierNbTotal->text(), "0");
    EXPECT_EQ(f->LabelHomeFichierNbTotal->alignment() & Qt::AlignRight, Qt::AlignRight);
    EXPECT_EQ(f->LabelHomeFichierNbVideo->font().family(), "DejaVu Sans");
    EXPECT_EQ(f->LabelHomeFichierNbVideo->font().pixelSize(), 13);
    EXPECT_EQ(f->LabelHomeScan->font().pixelSize(), 16);
    EXPECT_TRUE(f->LabelHomeScan->font().bold());
    EXPECT_EQ(f->ImgClose->Hint(), "Fermer");
    EXPECT_EQ(f->ImgReduire->Hint(), "Réduire");
    EXPECT_TRUE(f->ImgClose->toolTip().isEmpty());
    EXPECT_EQ(f->ImgHomeScan->cursor().shape(), Qt::PointingHandCursor);

    const QStringList items = {"Par Extension", "Par Ordre Alphabétique", "Par Répertoire"};
    ASSERT_EQ(f->ComboBoxChoixTrie->count(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(f->ComboBoxChoixTrie->itemText(i), items[i]);

    EXPECT_EQ(f->TimerProgressBar->interval(), 20);
    EXPECT_EQ(f->TimerFichier->interval(), 100);
    EXPECT_EQ(f->TimerSon->interval(), 10);
    EXPECT_EQ(f->TimerVideo->interval(), 500);
    EXPECT_FALSE(f->TimerProgressBar->isActive());
    EXPECT_FALSE(f->TimerFichier->isActive());

    // The twelve trees, tagged category × 10 + order, in the order of their creation.
    std::vector<int> tags;
    for (CleArbre cle : ToutesLesCles) {
        EXPECT_EQ(f->Arbre(cle)->Cle(), cle);
        tags.push_back(f->Arbre(cle)->Tag());
    }
    EXPECT_EQ(tags, (std::vector<int>{11, 12, 13, 21, 22, 23, 31, 32, 33, 41, 42, 43}));
    EXPECT_EQ(f->Arbre({Categorie::Son, Ordre::Alphabetique}), f->TreeViewSonAlpha);
}

TEST_F(FenetrePrincipale, AfterShowOnlyTheHomePanelIsVisible)
{
    for (QWidget* w : std::initializer_list<QWidget*>{f->ImgHomeParcourir, f->EditHomeRepertoireScan, f->LabelHomeScan,
                                                      f->LabelHomeFichierNbTotal, f->ImgFond, f->ImgTitre})
        EXPECT_TRUE(w->isVisible());
    for (QWidget* w : std::initializer_list<QWidget*>{
             f->Bevel, f->ComboBoxChoixTrie, f->BevelPrevisu, f->LabelEnCourAffichage, f->ImgImagePrevisu,
             f->ImageSon, f->ImageVideo, f->TrackBarSon, f->LabelPause, f->LabelArret, f->ImgProgressBar,
             f->TreeViewVideoRep, f->TreeViewTexteExt})
        EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(application_->Menu.ZoneCourante(), 1);
    EXPECT_EQ(f->ZoneHome->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(f->ZoneVideo->cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(FenetrePrincipale, SkinPicturesHaveTheirSizes)
{
    const QSize menu(111, 451), selection(100, 70), bouton(15, 15), previsu(160, 160);
    struct Taille
    {
        const QPixmap* Image;
        QSize Attendue;
    };
    const TFormImage* i = FormImage;
    const Taille tailles[] = {
        {&i->ImgMenuHome, menu},          {&i->ImgMenuTransfert, menu},      {&i->ImgHomeSelection, selection},
        {&i->ImgTransfertSelection, selection}, {&i->ImgCloseBase, bouton}, {&i->ImgReduireCilck, bouton},
        {&i->ImgImageNonSupporte, previsu}, {&i->ImgNonTrouve, previsu},    {&i->ImgPlay, QSize(12, 11)},
        {&i->ImgPause, QSize(8, 12)},     {&i->ImageTexte, QSize(100, 100)},
    };
    for (const Taille& t : tailles)
        EXPECT_EQ(t.Image->size(), t.Attendue);
    EXPECT_EQ(f->ImgFond->Image().size(), QSize(475, 451));
    EXPECT_EQ(f->ImgTitre->Image().size(), QSize(444, 61));
    EXPECT_EQ(f->ImgHomeFichierFond->Image().size(), QSize(233, 158));
    EXPECT_EQ(f->ImgProgressBar->Image().size(), QSize(29, 9));
    EXPECT_EQ(f->ImgProgressBarDevant->Image().size(), QSize(249, 14));
    EXPECT_EQ(f->ImageSonAucuneAnim->Image().size(), previsu);
    // Two folder pictures, then one icon per extension.
    EXPECT_EQ(f->ImageListExt->Image(0).size(), QSize(16, 16));
    EXPECT_EQ(f->ImageListExt->Image(1).size(), QSize(16, 16));
    EXPECT_EQ(f->ImageListExt->Nombre(), 32);
    // A JPEG of the skin is decoded with its colours, not left blank.
    const QImage fond = f->ImgFond->Image().toImage();
    EXPECT_NE(fond.pixel(10, 10), 0u);
}

TEST_F(FenetrePrincipale, TitleBarFacesChangeOnlyWithTheirState)
{
    GestionBarreSystem& barre = application_->BarreSystem;
    EXPECT_EQ(barre.EtatFermer, GestionBarreSystem::FermerBase);
    EXPECT_EQ(barre.EtatReduire, GestionBarreSystem::ReduireBase);
    QSignalSpy fermer(f->ImgClose, &ImageComposant::ImageChangee);
    QSignalSpy reduire(f->ImgReduire, &ImageComposant::ImageChangee);

    for (int i = 0; i < 5; ++i)
        QTest::mouseMove(f->ImgClose, QPoint(7, 7 + i % 2));
    EXPECT_EQ(fermer.count(), 1);
    EXPECT_EQ(reduire.count(), 0);
    EXPECT_EQ(barre.EtatFermer, GestionBarreSystem::FermerSurvole);
    EXPECT_EQ(f->ImgClose->Image().cacheKey(), FormImage->ImgCloseMove.cacheKey());

    QTest::mousePress(f->ImgClose, Qt::LeftButton, {}, QPoint(7, 7));
    EXPECT_EQ(barre.EtatFermer, GestionBarreSystem::FermerClic);
    // Releasing outside the picture does not close.
    QTest::mouseRelease(f->ImgClose, Qt::LeftButton, {}, QPoint(40, 40));
    EXPECT_TRUE(f->isVisible());
    QTest::mouseMove(f->ImgClose, QPoint(8, 8));
    EXPECT_EQ(barre.EtatFermer, GestionBarreSystem::FermerSurvole);
    EXPECT_EQ(fermer.count(), 3);

    QTest::mouseMove(f->ImgReduire, QPoint(7, 7));
    EXPECT_EQ(barre.EtatReduire, GestionBarreSystem::ReduireSurvole);
    EXPECT_EQ(barre.EtatFermer, GestionBarreSystem::FermerBase);
    EXPECT_EQ(reduire.count(), 1);
    EXPECT_EQ(fermer.count(), 4);

    // The background puts both back.
    QTest::mouseMove(f->ImgFond, QPoint(200, 300));
    EXPECT_EQ(barre.EtatReduire, GestionBarreSystem::ReduireBase);
    QTest::mouseMove(f->ImgFond, QPoint(201, 300));
    EXPECT_EQ(reduire.count(), 2);
    EXPECT_EQ(fermer.count(), 4);
}

TEST_F(FenetrePrincipale, MinimiseNeverLosesTheWindow)
{
    // Offscreen there is no tray: the window minimises normally.
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    QTest::mouseClick(f->ImgReduire, Qt::LeftButton, {}, QPoint(7, 7));
    EXPECT_TRUE(f->isVisible());
    EXPECT_TRUE(f->windowState() & Qt::WindowMinimized);
    EXPECT_EQ(application_->BarreSystem.EtatReduire, GestionBarreSystem::ReduireBase);
    application_->BarreSystem.Restaurer();
    EXPECT_FALSE(f->windowState() & Qt::WindowMinimized);
}

TEST_F(FenetrePrincipale, AboutBoxIsCentredOnTheWindow)
{
    for (const QPoint& position : {QPoint(100, 80), QPoint(300, 200)}) {
        f->move(position);
        bool montree = false;
        QTimer::singleShot(0, [&] {
            montree = FormPropos->isVisible();
            EXPECT_TRUE(FormPropos->isModal());
            const QPoint centre = FormPropos->geometry().center();
            EXPECT_LE((centre - f->geometry().center()).manhattanLength(), 2);
            EXPECT_EQ(FormPropos->size(), QSize(343, 121));
            EXPECT_EQ(FormPropos->LabelLogiciel->text(), " Ruvizaro");
            EXPECT_FALSE(FormPropos->LabelVersion->text().trimmed().isEmpty());
            EXPECT_FALSE(FormPropos->LabelDescription->text().trimmed().isEmpty());
            FormPropos->ButtonOK->click();
        });
        QTest::mouseClick(f->ImagePropos, Qt::LeftButton, {}, QPoint(30, 30));
        EXPECT_TRUE(montree);
        EXPECT_FALSE(FormPropos->isVisible());
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

    f->EditHomeRepertoireScan->setText(QString::fromStdString(arbre.Racine()));
    QTest::keyClick(f->EditHomeRepertoireScan, Qt::Key_Return);
    ASSERT_TRUE(AttendreQue([this] { return application_->Bouton.EtatScan == 2; }));
    QTest::mouseClick(f->ZoneImage, Qt::LeftButton, {}, QPoint(50, 35));
    f->ComboBoxChoixTrie->setCurrentIndex(0);
    ArbreCategorie* ext = f->TreeViewImageExt;
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
    ASSERT_TRUE(AttendreQue([this] { return !application_->Previsu.Image.ChargementEnCours(); }));
    EXPECT_EQ(f->LabelImageNom->text(), "vue.jpg");
    EXPECT_EQ(f->LabelImageDimension->text(), "Dimension : 64x48");
    EXPECT_EQ(f->LabelImageExtension->text(), "Image JPG");
    QTest::mouseDClick(f->ImgImagePrevisu, Qt::LeftButton, {}, QPoint(80, 80));
    ASSERT_EQ(ouverts.size(), 1u);
    EXPECT_EQ(ouverts[0], arbre.Racine() + "/vue.jpg");
    // Selecting a group node previews nothing new.
    ext->Selectionner(groupe);
    EXPECT_EQ(f->LabelImageNom->text(), "vue.jpg");

    // A click on the document picture opens the document.
    QTest::mouseClick(f->ZoneTexte, Qt::LeftButton, {}, QPoint(50, 35));
    f->ComboBoxChoixTrie->setCurrentIndex(0);
    ArbreCategorie* textes = f->TreeViewTexteExt;
    ASSERT_EQ(textes->NombreRacines(), 1);
    textes->Deployer(textes->Racine(0));
    ASSERT_TRUE(AttendreQue(
        [&] { return !textes->Racine(0)->Enfants.empty() && textes->Racine(0)->Enfants[0]->Texte == "rapport.pdf"; }));
    textes->Selectionner(textes->Racine(0)->Enfants[0]);
    EXPECT_EQ(f->LabelTexteTaille->text(), "Taille : 2 Ko");
    QTest::mouseClick(f->ImgTextePrevisu, Qt::LeftButton, {}, QPoint(80, 80));
    ASSERT_EQ(ouverts.size(), 2u);
    EXPECT_EQ(ouverts[1], arbre.Racine() + "/rapport.pdf");

    // A new scan clears the panels.
    QTest::mouseClick(f->ZoneHome, Qt::LeftButton, {}, QPoint(50, 35));
    QTest::keyClick(f->EditHomeRepertoireScan, Qt::Key_Return);
    EXPECT_TRUE(f->LabelTexteNom->text().isEmpty());
    EXPECT_TRUE(application_->Previsu.Image.Chemin.empty());
    ASSERT_TRUE(AttendreQue([this] { return application_->Bouton.EtatScan == 2; }));
}

TEST_F(FenetrePrincipale, EveryCloseSavesOnceAsTheClosePictureDoes)
{
    const std::string cle = "Software\\Dudidevir\\Ruvizaro\\1.0";
    // Leaving the message loop by any way saves.
    QTest::mouseClick(f->ZoneImage, Qt::LeftButton, {}, QPoint(50, 35));
    f->ComboBoxChoixTrie->setCurrentIndex(0);
    QMetaObject::invokeMethod(QCoreApplication::instance(), "aboutToQuit", Qt::DirectConnection);
    const auto image = LireRegistre("HKEY_CURRENT_USER", cle, "TreeImage");
    ASSERT_TRUE(image);
    EXPECT_EQ(image.Valeur(), 1);

    // Alt+F4, the taskbar's close: a close event from the window system.
    Demarrer();
    QTest::mouseClick(f->ZoneSon, Qt::LeftButton, {}, QPoint(50, 35));
    f->ComboBoxChoixTrie->setCurrentIndex(1);
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
