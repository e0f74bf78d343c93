// The window on a screen of any density: run once at the screen's own ratio
// and again with QT_SCALE_FACTOR=2 and 1.5 (the ui_double and ui_demi
// tests). The skin and the file icons come at the screen's ratio, the
// geometry stays in window pixels.

#include "shared/ListeImages.h"
#include "trees/ArbreCategorie.h"
#include "ui/TFormPrincipal.h"
#include "widgets/ImageComposant.h"

#include "support/AvecApplication.h"

#include <QGuiApplication>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

class Echelle : public AvecApplication
{
protected:
    // The ratio the run was asked for.
    static qreal Attendu()
    {
        return qEnvironmentVariableIsSet("QT_SCALE_FACTOR") ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()
                                                            : 1.0;
    }
};

}  // namespace

TEST_F(Echelle, SkinAndFileIconsComeAtTheScreensRatioInWindowPixels)
{
    const qreal ratio = Attendu();
    ASSERT_EQ(f->devicePixelRatio(), ratio);
    EXPECT_EQ(f->size(), QSize(586, 451));

    // The skin has pictures for 1x and 2x: a ratio in between takes the
    // denser ones.
    const qreal ratioSkin = std::ceil(ratio);
    const QPixmap fond = c->ImgFond->Image();
    EXPECT_EQ(fond.devicePixelRatio(), ratioSkin);
    EXPECT_EQ(fond.size(), QSize(475, 451) * ratioSkin);
    EXPECT_EQ(fond.deviceIndependentSize().toSize(), QSize(475, 451));

    // The window paints the same picture, at every device pixel.
    const QImage peinte = f->grab().toImage();
    EXPECT_EQ(peinte.size(), QSize(586, 451) * ratio);

    ASSERT_GE(c->ImageListExt->Nombre(), 3);
    for (int i = 0; i < c->ImageListExt->Nombre(); ++i) {
        const QPixmap icone = c->ImageListExt->Image(i);
        EXPECT_EQ(icone.devicePixelRatio(), ratio) << i;
        EXPECT_EQ(icone.deviceIndependentSize().toSize(), QSize(16, 16)) << i;
        // Transparent where the icon does not draw: the corner of a folder.
        EXPECT_TRUE(icone.hasAlphaChannel()) << i;
    }
    EXPECT_EQ(c->ImageListExt->Image(0).toImage().pixelColor(0, 0).alpha(), 0);
}

TEST_F(Echelle, TreeIconsAreDrawnPixelForPixelAndCentredInTheirRows)
{
    const qreal ratio = Attendu();
    QTest::keyClick(f, Qt::Key_4, Qt::ControlModifier);
    ArbreCategorie* arbre = nullptr;
    for (ArbreCategorie* a : c->Arbres())
        if (a->isVisible())
            arbre = a;
    ASSERT_NE(arbre, nullptr);
    const int premier = arbre->model()->rowCount();
    const int images[] = {0, 1, 0};
    for (int image : images)
        arbre->AjouterRacine("dossier", image);
    ASSERT_EQ(arbre->model()->rowCount(), premier + 3);

    for (int rang = premier; rang < premier + 3; ++rang) {
        SCOPED_TRACE(rang);
        const QPixmap icone = c->ImageListExt->Image(images[rang - premier]);
        QImage source = icone.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        source.setDevicePixelRatio(1.0);   // compared pixel for pixel
        const QRect ligne = arbre->visualRect(arbre->model()->index(rang, 0));
        ASSERT_TRUE(ligne.isValid());
        const QImage peinte = arbre->viewport()->grab(ligne).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        ASSERT_EQ(peinte.height(), qRound(ligne.height() * ratio));
        // The row's background under the icon, and the icon laid on it as
        // the view must show it: at every device pixel, not rescaled.
        const QRgb fond = peinte.pixel(peinte.width() - 1, 0);
        QImage attendue(source.size(), QImage::Format_ARGB32_Premultiplied);
        attendue.fill(fond);
        {
            QPainter peintre(&attendue);
            peintre.drawImage(0, 0, source);
        }
        // The part the icon paints, and where it is in the row: the only
        // place in the row's left part where it matches exactly.
        QRect dessin;
        for (int y = 0; y < source.height(); ++y)
            for (int x = 0; x < source.width(); ++x)
                if (qAlpha(source.pixel(x, y)) != 0)
                    dessin |= QRect(x, y, 1, 1);
        // The folder fills its square, whatever the density of its picture.
        EXPECT_GE(dessin.width(), source.width() * 3 / 4);
        EXPECT_GE(dessin.height(), source.height() / 2);
        QList<QPoint> places;
        for (int y = 0; y + dessin.height() <= peinte.height(); ++y)
            for (int x = 0; x + dessin.width() <= std::min(peinte.width(), attendue.width() * 3); ++x) {
                bool pareil = true;
                for (int j = 0; j < dessin.height() && pareil; ++j)
                    for (int i = 0; i < dessin.width() && pareil; ++i)
                        pareil = peinte.pixel(x + i, y + j) == attendue.pixel(dessin.x() + i, dessin.y() + j);
                if (pareil)
                    places << QPoint(x, y) - dessin.topLeft();
            }
        ASSERT_EQ(places.size(), 1) << "the icon is not drawn pixel for pixel at ratio " << ratio;
        // Centred: as much room above as below, to a device pixel.
        const int dessus = places[0].y();
        const int dessous = peinte.height() - attendue.height() - dessus;
        EXPECT_LE(std::abs(dessus - dessous), 1) << dessus << " above, " << dessous << " below";
    }
}
