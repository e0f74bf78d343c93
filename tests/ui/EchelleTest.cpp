// The window on a screen of any density: run once at the screen's own ratio
// and once more with QT_SCALE_FACTOR=2 (the ui_double test). The skin and the
// file icons come at the screen's ratio, the geometry stays in window pixels.

#include "shared/ListeImages.h"
#include "trees/ArbreCategorie.h"
#include "ui/TFormPrincipal.h"
#include "widgets/ImageComposant.h"

#include "support/AvecApplication.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

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

    const QPixmap fond = c->ImgFond->Image();
    EXPECT_EQ(fond.devicePixelRatio(), ratio);
    EXPECT_EQ(fond.size(), QSize(475, 451) * ratio);
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
