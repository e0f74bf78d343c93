// The menu zones on the real window offscreen: which components each zone
// shows, the hover highlight, and the order per category kept across runs.

#include "app/Application.h"
#include "shared/Registre.h"
#include "trees/ArbreCategorie.h"
#include "widgets/BandeauMenu.h"
#include "widgets/Cadre.h"
#include "widgets/Etiquette.h"
#include "widgets/ImageComposant.h"
#include "widgets/TFormImage.h"
#include "ui/TFormPrincipal.h"
#include "widgets/ZoneSaisie.h"

#include "support/AvecApplication.h"
#include "support/ConfigTemporaire.h"

#include <QComboBox>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>

namespace {

class Menu : public AvecApplication
{
protected:
    void Cliquer(ImageComposant* zone) { QTest::mouseClick(zone, Qt::LeftButton, {}, Milieu(zone)); }

    // Every component that a zone may show or hide.
    std::map<QWidget*, std::string> Panneaux() const
    {
        return {
            {c->ImgHomeParcourir, "ImgHomeParcourir"},
            {c->ImgHomeParcourirBas, "ImgHomeParcourirBas"},
            {c->ImgHomeScan, "ImgHomeScan"},
            {c->LabelHomeOption, "LabelHomeOption"},
            {c->LabelHomeParcourir, "LabelHomeParcourir"},
            {c->LabelHomeScan, "LabelHomeScan"},
            {c->EditHomeRepertoireScan, "EditHomeRepertoireScan"},
            {c->ImgHomeFichierFond, "ImgHomeFichierFond"},
            {c->LabelHomeFichierNbVideo, "LabelHomeFichierNbVideo"},
            {c->LabelHomeFichierNbTotal, "NbTotal"},
            {c->LabelVideoNom, "LabelVideoNom"},
            {c->ImageVideo, "ImageVideo"},
            {c->TrackBarVideo, "TrackBarVideo"},
            {c->ImageVideoPlayPause, "ImageVideoPlayPause"},
            {c->LabelSonNom, "LabelSonNom"},
            {c->ImageSon, "ImageSon"},
            {c->TrackBarSon, "TrackBarSon"},
            {c->LabelSonDurreeTotale, "SonTotale"},
            {c->ImgImagePrevisu, "ImgImagePrevisu"},
            {c->LabelImageDimension, "LabelImageDimension"},
            {c->ImgTextePrevisu, "ImgTextePrevisu"},
            {c->LabelTexteTaille, "LabelTexteTaille"},
            {c->Bevel, "Bevel"},
            {c->ComboBoxChoixTrie, "ComboBoxChoixTrie"},
            {c->BevelPrevisu, "BevelPrevisu"},
            {c->ImageSonAucuneAnim, "ImageSonAucuneAnim"},
            {c->TreeViewVideoRep, "TreeViewVideoRep"},
            {c->TreeViewSonRep, "TreeViewSonRep"},
            {c->TreeViewImageRep, "TreeViewImageRep"},
            {c->TreeViewTexteExt, "TreeViewTexteExt"},
        };
    }
};

} // namespace

TEST_F(Menu, EachZoneShowsExactlyItsComponents)
{
    const std::set<QWidget*> categorie = {c->Bevel, c->ComboBoxChoixTrie, c->BevelPrevisu};
    struct Cas
    {
        ImageComposant* Zone;
        int Code;
        std::set<QWidget*> Visibles;
    };
    const Cas cas[] = {
        {c->ZoneVideo,
         2,
         {c->LabelVideoNom, c->ImageVideo, c->TrackBarVideo, c->ImageVideoPlayPause, c->TreeViewVideoRep}},
        {c->ZoneSon, 3, {c->LabelSonNom, c->ImageSon, c->TrackBarSon, c->LabelSonDurreeTotale, c->TreeViewSonRep}},
        {c->ZoneImage, 4, {c->ImgImagePrevisu, c->LabelImageDimension, c->TreeViewImageRep}},
        {c->ZoneTexte, 5, {c->ImgTextePrevisu, c->LabelTexteTaille, c->TreeViewTexteExt}},
        {c->ZoneTransfert, 6, {}},
        {c->ZoneHome,
         1,
         {c->ImgHomeParcourir, c->ImgHomeParcourirBas, c->ImgHomeScan, c->LabelHomeOption, c->LabelHomeParcourir,
          c->LabelHomeScan, c->EditHomeRepertoireScan, c->ImgHomeFichierFond, c->LabelHomeFichierNbVideo,
          c->LabelHomeFichierNbTotal}},
    };
    for (const Cas& k : cas) {
        Cliquer(k.Zone);
        EXPECT_EQ(application_->Menu.ZoneCourante(), k.Code);
        EXPECT_EQ(k.Zone->cursor().shape(), Qt::ArrowCursor);
        std::set<QWidget*> attendus = k.Visibles;
        if (k.Code >= 2 && k.Code <= 5)
            attendus.insert(categorie.begin(), categorie.end());
        for (const auto& [composant, nom] : Panneaux())
            EXPECT_EQ(composant->isVisible(), attendus.count(composant) == 1) << "zone " << k.Code << ": " << nom;
        EXPECT_FALSE(c->LabelEnCourAffichage->isVisible());
    }
    // The selected strip picture is the one painted.
    Cliquer(c->ZoneImage);
    const QImage capture = f->grab(QRect(0, 0, BandeauMenu::Largeur, TFormPrincipal::Hauteur)).toImage();
    const QImage attendue = c->Skin->ImgMenuImage.toImage();
    EXPECT_EQ(capture.pixelColor(50, 250), attendue.pixelColor(50, 250));
}

TEST_F(Menu, HoverDrawsOneHighlightOffTheSelectedZone)
{
    GestionMenu& menu = application_->Menu;
    const QImage sansSurvol = f->grab(c->ZoneVideo->geometry()).toImage();
    QTest::mouseMove(c->ZoneVideo, Milieu(c->ZoneVideo));
    EXPECT_EQ(menu.ZoneSurvolee(), 2);
    const QImage survol = f->grab(c->ZoneVideo->geometry()).toImage();
    EXPECT_NE(survol, sansSurvol);

    QTest::mouseMove(c->ZoneSon, Milieu(c->ZoneSon));
    EXPECT_EQ(f->grab(c->ZoneVideo->geometry()).toImage(), sansSurvol); // Video's highlight is gone
    // Hovering the selected zone draws nothing.
    const QImage home = f->grab(c->ZoneHome->geometry()).toImage();
    QTest::mouseMove(c->ZoneHome, Milieu(c->ZoneHome));
    EXPECT_EQ(f->grab(c->ZoneHome->geometry()).toImage(), home);
    // The background removes any highlight.
    QTest::mouseMove(c->ZoneVideo, Milieu(c->ZoneVideo));
    QTest::mouseMove(c->ImgFond, c->PointNu());
    EXPECT_EQ(f->grab(c->ZoneVideo->geometry()).toImage(), sansSurvol);
}

TEST_F(Menu, LeavingAZoneQuicklyForTheTreesRemovesItsHighlight)
{
    Cliquer(c->ZoneImage);
    const QRect video = c->ZoneVideo->geometry();
    const QImage sansSurvol = f->grab(video).toImage();
    // A quick pointer: 20 pixels a move, from the middle of the Video zone
    // right into the trees, never over the bare background.
    const int y = video.center().y();
    QTest::mouseMove(f, QPoint(video.center().x(), y));
    ASSERT_NE(f->grab(video).toImage(), sansSurvol) << "hovering draws no highlight";
    QWidget* dessous = nullptr;
    for (int x = video.center().x() + 20; x < 200; x += 20) {
        QTest::mouseMove(f, QPoint(x, y));
        dessous = f->childAt(x, y);
        ASSERT_NE(dessous, c->ImgFond) << "the pointer crossed the background at x " << x;
    }
    ASSERT_TRUE(c->TreeViewImageRep->isAncestorOf(dessous)) << "the pointer did not reach the trees";
    EXPECT_EQ(f->grab(video).toImage(), sansSurvol);
}

TEST_F(Menu, ClickingAHoveredZoneShowsItsStripAlone)
{
    struct Cas
    {
        ImageComposant* Zone;
        const QPixmap& Bandeau;
    };
    for (const Cas& k : {Cas{c->ZoneVideo, c->Skin->ImgMenuVideo}, Cas{c->ZoneTransfert, c->Skin->ImgMenuTransfert}}) {
        QTest::mouseMove(k.Zone, Milieu(k.Zone));
        Cliquer(k.Zone);
        const QRect place = k.Zone->geometry();
        const QImage vue = f->grab(place).toImage().convertToFormat(QImage::Format_RGB32);
        const QImage bandeau = k.Bandeau.copy(place).toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(vue, bandeau) << "zone " << application_->Menu.ZoneCourante();
    }
}

TEST_F(Menu, OrderPerCategoryIsSavedAtCloseAndRestored)
{
    Cliquer(c->ZoneSon);
    EXPECT_EQ(c->ComboBoxChoixTrie->currentIndex(), 2);
    c->ComboBoxChoixTrie->setCurrentIndex(1);
    EXPECT_TRUE(c->TreeViewSonAlpha->isVisible());
    EXPECT_FALSE(c->TreeViewSonRep->isVisible());
    Cliquer(c->ZoneTexte);
    EXPECT_EQ(c->ComboBoxChoixTrie->currentIndex(), 0);
    c->ComboBoxChoixTrie->setCurrentIndex(2);
    Cliquer(c->ZoneSon);
    EXPECT_EQ(c->ComboBoxChoixTrie->currentIndex(), 1);

    // Closing through the close picture saves the orders shown.
    QTest::mouseClick(c->ImgClose, Qt::LeftButton, {}, Milieu(c->ImgClose));
    const auto son = LireRegistre("HKEY_CURRENT_USER", "Software\\Dudidevir\\Ruvizaro\\1.0", "TreeSon");
    ASSERT_TRUE(son);
    EXPECT_EQ(son.Valeur(), 2);
    const auto texte = LireRegistre("HKEY_CURRENT_USER", "Software\\Dudidevir\\Ruvizaro\\1.0", "TreeTexte");
    ASSERT_TRUE(texte);
    EXPECT_EQ(texte.Valeur(), 3);

    Demarrer();
    Cliquer(c->ZoneSon);
    EXPECT_TRUE(c->TreeViewSonAlpha->isVisible());
    EXPECT_EQ(c->ComboBoxChoixTrie->currentIndex(), 1);
    Cliquer(c->ZoneTexte);
    EXPECT_TRUE(c->TreeViewTexteRep->isVisible());
    EXPECT_EQ(c->ComboBoxChoixTrie->currentIndex(), 2);
}

TEST_F(Menu, ComingBackFromTheTrayKeepsTheZoneAndThePath)
{
    Cliquer(c->ZoneImage);
    c->EditHomeRepertoireScan->setText("/tmp");
    // Minimising to a tray hides the window; a double click shows it again.
    f->hide();
    f->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f));
    EXPECT_EQ(application_->Menu.ZoneCourante(), 4);
    EXPECT_TRUE(c->TreeViewImageRep->isVisible());
    EXPECT_EQ(c->EditHomeRepertoireScan->text(), "/tmp");
}
