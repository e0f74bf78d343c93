// The window on a screen of any density: run once at the screen's own ratio
// and again with QT_SCALE_FACTOR=2 and 1.5 (the ui_double and ui_demi
// tests). The skin and the file icons come at the screen's ratio, the
// geometry stays in window pixels.

#include "widgets/ListeImages.h"
#include "trees/ArbreCategorie.h"
#include "ui/TFormPrincipal.h"
#include "widgets/ImageComposant.h"

#include "support/AvecApplication.h"

#include <QGuiApplication>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

class Echelle : public AvecApplication
{
protected:
    // The ratio the run was asked for.
    static qreal Attendu()
    {
        return qEnvironmentVariableIsSet("QT_SCALE_FACTOR") ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble() : 1.0;
    }
};

} // namespace

TEST_F(Echelle, SkinAndFileIconsComeAtTheScreensRatioInWindowPixels)
{
    const qreal ratio = Attendu();
    ASSERT_EQ(f->devicePixelRatio(), ratio);
    EXPECT_EQ(f->size(), QSize(TFormPrincipal::Largeur, TFormPrincipal::Hauteur));

    // The skin has pictures for 1x and 2x: a ratio in between takes the
    // denser ones.
    const qreal ratioSkin = std::ceil(ratio);
    const QPixmap fond = c->ImgFond->Image();
    EXPECT_EQ(fond.devicePixelRatio(), ratioSkin);
    EXPECT_EQ(fond.size(), c->ImgFond->size() * ratioSkin);
    EXPECT_EQ(fond.deviceIndependentSize().toSize(), c->ImgFond->size());

    // The window paints the same picture, at every device pixel.
    const QImage peinte = f->grab().toImage();
    EXPECT_EQ(peinte.size(), f->size() * ratio);

    ASSERT_GE(c->ImageListExt->Nombre(), 3);
    for (int i = 0; i < c->ImageListExt->Nombre(); ++i) {
        const QPixmap icone = c->ImageListExt->Image(i);
        EXPECT_EQ(icone.devicePixelRatio(), ratio) << i;
        EXPECT_EQ(icone.deviceIndependentSize().toSize(), QSize(ListeImages::Cote, ListeImages::Cote)) << i;
        // Transparent where the icon does not draw: the corner of a folder.
        EXPECT_TRUE(icone.hasAlphaChannel()) << i;
    }
    EXPECT_EQ(c->ImageListExt->Image(0).toImage().pixelColor(0, 0).alpha(), 0);
}

TEST_F(Echelle, TreeIconsFillTheirSquareAndAreDrawnPixelForPixelCentredInTheirRows)
{
    QTest::keyClick(f, Qt::Key_4, Qt::ControlModifier);
    ArbreCategorie* arbre = c->Arbre({Categorie::Image, Ordre::Repertoire});
    ASSERT_TRUE(arbre->isVisible());
    arbre->AjouterRacine("dossier", 0);
    const auto format = QImage::Format_ARGB32_Premultiplied;
    QImage source = c->ImageListExt->Image(0).toImage().convertToFormat(format);
    source.setDevicePixelRatio(1.0);
    QRect dessin;
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x)
            dessin |= qAlpha(source.pixel(x, y)) ? QRect(x, y, 1, 1) : QRect();
    EXPECT_GE(dessin.width(), source.width() * 3 / 4); // not shrunk by its picture's ratio

    const QRect ligne = arbre->visualRect(arbre->model()->index(arbre->model()->rowCount() - 1, 0));
    const QImage peinte = arbre->viewport()->grab(ligne).toImage().convertToFormat(format);
    // The icon on the row's background, at every device pixel, as much
    // room above as below.
    QImage attendue(source.size(), format);
    attendue.fill(peinte.pixel(peinte.width() - 1, 0));
    QPainter(&attendue).drawImage(0, 0, source);
    bool centree = false;
    for (int y = 0; y + attendue.height() <= peinte.height(); ++y)
        for (int x = 0; x < attendue.width() * 2; ++x)
            centree |= std::abs(2 * y + attendue.height() - peinte.height()) <= 1 &&
                       peinte.copy(x, y, attendue.width(), attendue.height()) == attendue;
    EXPECT_TRUE(centree) << "row " << peinte.height() << " device pixels, icon " << attendue.height();
}
