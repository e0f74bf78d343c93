// The menu zones on the real window offscreen: which components each zone
// shows, the hover highlight, and the order per category kept across runs.

#include "app/Application.h"
#include "shared/Registre.h"
#include "trees/ArbreCategorie.h"
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
    void Cliquer(ImageComposant* zone) { QTest::mouseClick(zone, Qt::LeftButton, {}, QPoint(50, 35)); }

    // Every component that a zone may show or hide.
    std::map<QWidget*, std::string> Panneaux() const
    {
        return {
            {f->ImgHomeParcourir, "ImgHomeParcourir"}, {f->ImgHomeParcourirBas, "ImgHomeParcourirBas"},
            {f->ImgHomeScan, "ImgHomeScan"}, {f->LabelHomeOption, "LabelHomeOption"},
            {f->LabelHomeParcourir, "LabelHomeParcourir"}, {f->LabelHomeScan, "LabelHomeScan"},
            {f->EditHomeRepertoireScan, "EditHomeRepertoireScan"}, {f->ImgHomeFichierFond, "ImgHomeFichierFond"},
            {f->LabelHomeFichierNbVideo, "LabelHomeFichierNbVideo"}, {f->LabelHomeFichierNbTotal, "NbTotal"},
            {f->LabelVideoNom, "LabelVideoNom"}, {f->ImageVideo, "ImageVideo"}, {f->TrackBarVideo, "TrackBarVideo"},
            {f->ImageVideoPlayPause, "ImageVideoPlayPause"}, {f->LabelSonNom, "LabelSonNom"},
            {f->ImageSon, "ImageSon"}, {f->TrackBarSon, "TrackBarSon"}, {f->LabelSonDurreeTotale, "SonTotale"},
            {f->ImgImagePrevisu, "ImgImagePrevisu"}, {f->LabelImageDimension, "LabelImageDimension"},
            {f->ImgTextePrevisu, "ImgTextePrevisu"}, {f->LabelTexteTaille, "LabelTexteTaille"},
            {f->Bevel, "Bevel"}, {f->ComboBoxChoixTrie, "ComboBoxChoixTrie"}, {f->BevelPrevisu, "BevelPrevisu"},
            {f->ImageSonAucuneAnim, "ImageSonAucuneAnim"},
            {f->TreeViewVideoRep, "TreeViewVideoRep"}, {f->TreeViewSonRep, "TreeViewSonRep"},
            {f->TreeViewImageRep, "TreeViewImageRep"}, {f->TreeViewTexteExt, "TreeViewTexteExt"},
        };
    }

};

}  // namespace

TEST_F(Menu, EachZoneShowsExactlyItsComponents)
{
    const std::set<QWidget*> categorie = {f->Bevel, f->ComboBoxChoixTrie, f->BevelPrevisu};
    struct Cas
    {
        ImageComposant* Zone;
        int Code;
        std::set<QWidget*> Visibles;
    };
    const Cas cas[] = {
        {f->ZoneVideo, 2, {f->LabelVideoNom, f->ImageVideo, f->TrackBarVideo, f->ImageVideoPlayPause, f->TreeViewVideoRep}},
        {f->ZoneSon, 3, {f->LabelSonNom, f->ImageSon, f->TrackBarSon, f->LabelSonDurreeTotale, f->TreeViewSonRep}},
        {f->ZoneImage, 4, {f->ImgImagePrevisu, f->LabelImageDimension, f->TreeViewImageRep}},
        {f->ZoneTexte, 5, {f->ImgTextePrevisu, f->LabelTexteTaille, f->TreeViewTexteExt}},
        {f->ZoneTransfert, 6, {}},
        {f->ZoneHome, 1, {f->ImgHomeParcourir, f->ImgHomeParcourirBas, f->ImgHomeScan, f->LabelHomeOption,
                          f->LabelHomeParcourir, f->LabelHomeScan, f->EditHomeRepertoireScan, f->ImgHomeFichierFond,
                          f->LabelHomeFichierNbVideo, f->LabelHomeFichierNbTotal}},
    };
    for (const Cas& c : cas) {
        Cliquer(c.Zone);
        EXPECT_EQ(application_->Menu.ZoneCourante(), c.Code);
        EXPECT_EQ(c.Zone->cursor().shape(), Qt::ArrowCursor);
        std::set<QWidget*> attendus = c.Visibles;
        if (c.Code >= 2 && c.Code <= 5)
            attendus.insert(categorie.begin(), categorie.end());
        for (const auto& [composant, nom] : Panneaux())
            EXPECT_EQ(composant->isVisible(), attendus.count(composant) == 1) << "zone " << c.Code << ": " << nom;
        EXPECT_FALSE(f->LabelEnCourAffichage->isVisible());
    }
    // The selected strip picture is the one painted.
    Cliquer(f->ZoneImage);
    const QImage capture = f->grab(QRect(0, 0, 111, 451)).toImage();
    const QImage attendue = FormImage->ImgMenuImage.toImage();
    EXPECT_EQ(capture.pixelColor(50, 250), attendue.pixelColor(50, 250));
}

TEST_F(Menu, HoverDrawsOneHighlightOffTheSelectedZone)
{
    GestionMenu& menu = application_->Menu;
    const QImage sansSurvol = f->grab(QRect(6, 76, 100, 70)).toImage();
    QTest::mouseMove(f->ZoneVideo, QPoint(50, 35));
    EXPECT_EQ(menu.ZoneSurvolee(), 2);
    const QImage survol = f->grab(QRect(6, 76, 100, 70)).toImage();
    EXPECT_NE(survol, sansSurvol);

    QTest::mouseMove(f->ZoneSon, QPoint(50, 35));
    EXPECT_EQ(f->grab(QRect(6, 76, 100, 70)).toImage(), sansSurvol);   // Video's highlight is gone
    // Hovering the selected zone draws nothing.
    const QImage home = f->grab(QRect(6, 6, 100, 70)).toImage();
    QTest::mouseMove(f->ZoneHome, QPoint(50, 35));
    EXPECT_EQ(f->grab(QRect(6, 6, 100, 70)).toImage(), home);
    // The background removes any highlight.
    QTest::mouseMove(f->ZoneVideo, QPoint(50, 35));
    QTest::mouseMove(f->ImgFond, QPoint(200, 300));
    EXPECT_EQ(f->grab(QRect(6, 76, 100, 70)).toImage(), sansSurvol);
}

TEST_F(Menu, ClickingAHoveredZoneShowsItsStripAlone)
{
    struct Cas
    {
        ImageComposant* Zone;
        const QPixmap& Bandeau;
    };
    for (const Cas& c :
         {Cas{f->ZoneVideo, FormImage->ImgMenuVideo}, Cas{f->ZoneTransfert, FormImage->ImgMenuTransfert}}) {
        QTest::mouseMove(c.Zone, QPoint(50, 35));
        Cliquer(c.Zone);
        const QRect place = c.Zone->geometry();
        const QImage vue = f->grab(place).toImage().convertToFormat(QImage::Format_RGB32);
        const QImage bandeau = c.Bandeau.copy(place).toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(vue, bandeau) << "zone " << application_->Menu.ZoneCourante();
    }
}

TEST_F(Menu, OrderPerCategoryIsSavedAtCloseAndRestored)
{
    Cliquer(f->ZoneSon);
    EXPECT_EQ(f->ComboBoxChoixTrie->currentIndex(), 2);
    f->ComboBoxChoixTrie->setCurrentIndex(1);
    EXPECT_TRUE(f->TreeViewSonAlpha->isVisible());
    EXPECT_FALSE(f->TreeViewSonRep->isVisible());
    Cliquer(f->ZoneTexte);
    EXPECT_EQ(f->ComboBoxChoixTrie->currentIndex(), 0);
    f->ComboBoxChoixTrie->setCurrentIndex(2);
    Cliquer(f->ZoneSon);
    EXPECT_EQ(f->ComboBoxChoixTrie->currentIndex(), 1);

    // Closing through the close picture saves the orders shown.
    QTest::mouseClick(f->ImgClose, Qt::LeftButton, {}, QPoint(7, 7));
    const auto son = LireRegistre("HKEY_CURRENT_USER", "Software\\Dudidevir\\Ruvizaro\\1.0", "TreeSon");
    ASSERT_TRUE(son);
    EXPECT_EQ(son.Valeur(), 2);
    const auto texte = LireRegistre("HKEY_CURRENT_USER", "Software\\Dudidevir\\Ruvizaro\\1.0", "TreeTexte");
    ASSERT_TRUE(texte);
    EXPECT_EQ(texte.Valeur(), 3);

    Demarrer();
    Cliquer(f->ZoneSon);
    EXPECT_TRUE(f->TreeViewSonAlpha->isVisible());
    EXPECT_EQ(f->ComboBoxChoixTrie->currentIndex(), 1);
    Cliquer(f->ZoneTexte);
    EXPECT_TRUE(f->TreeViewTexteRep->isVisible());
    EXPECT_EQ(f->ComboBoxChoixTrie->currentIndex(), 2);
}

TEST_F(Menu, ComingBackFromTheTrayKeepsTheZoneAndThePath)
{
    Cliquer(f->ZoneImage);
    f->EditHomeRepertoireScan->setText("/tmp");
    // Minimising to a tray hides the window; a double click shows it again.
    f->hide();
    f->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f));
    EXPECT_EQ(application_->Menu.ZoneCourante(), 4);
    EXPECT_TRUE(f->TreeViewImageRep->isVisible());
    EXPECT_EQ(f->EditHomeRepertoireScan->text(), "/tmp");
}
