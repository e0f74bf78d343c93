// The trees' image list: the desktop's icon of each extension of the
// table, after the two folders, as the program fills it.

#include "widgets/ListeImages.h"

#include "classification/Extension.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class IconesExtensions : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Two folder pictures, as the main window's list starts.
        QImage dossier(ListeImages::Cote, ListeImages::Cote, QImage::Format_RGB32);
        dossier.fill(Qt::yellow);
        images.Ajouter(dossier);
        images.Ajouter(dossier);
        extension.Remplir([this](const std::string& ext, Categorie categorie) {
            return images.AjouterIconeExtension(ext, categorie);
        });
    }

    ListeImages images;
    Extension extension;
};

} // namespace

TEST_F(IconesExtensions, EveryCaptureSucceedsAndIconsFollowTheFolders)
{
    // Adwaita is installed: every row gets its own 16 x 16 image, 2 to 31.
    const std::vector<TExt>& table = extension.Table();
    for (size_t i = 0; i < table.size(); ++i)
        EXPECT_EQ(table[i].Icone, static_cast<int32_t>(i) + 2) << table[i].Ext;
    ASSERT_EQ(images.Nombre(), 32);
    for (int i = 2; i < images.Nombre(); ++i) {
        const QPixmap image = images.Image(i);
        ASSERT_FALSE(image.isNull()) << i;
        EXPECT_EQ(image.size(), QSize(ListeImages::Cote, ListeImages::Cote));
    }
    EXPECT_TRUE(images.Image(32).isNull());
    EXPECT_TRUE(images.Image(-1).isNull());

    // None is the blank icon of unknown data: a type the theme lacks shows
    // its category's icon (ASF a video's, like AVI).
    const QImage donnees = QIcon::fromTheme("application-x-generic").pixmap(ListeImages::Cote).toImage();
    ASSERT_FALSE(donnees.isNull());
    for (size_t i = 0; i < table.size(); ++i)
        EXPECT_NE(images.Image(table[i].Icone).toImage().convertToFormat(donnees.format()), donnees) << table[i].Ext;
    EXPECT_EQ(images.Image(table[7].Icone).toImage(), images.Image(table[0].Icone).toImage());
}

TEST_F(IconesExtensions, FailedCaptureGivesMinusOneAndAppendsNothing)
{
    const QString theme = QIcon::themeName();
    QIcon::setThemeName(QStringLiteral("ruvizaro-theme-absent"));
    const int avant = images.Nombre();
    const int icone = images.AjouterIconeExtension("avi", Categorie::Video);
    QIcon::setThemeName(theme);
    EXPECT_EQ(icone, -1);
    EXPECT_EQ(images.Nombre(), avant);
}
