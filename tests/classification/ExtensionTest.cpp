// The extension table: its rows, the lookup with its one-entry cache, the
// desktop icons and the "Par Extension" trees it drives.

#include "classification/Extension.h"

#include "shared/ListeImages.h"

#include "support/Codes.h"
#include "support/ImagesDeTest.h"

#include <QIcon>
#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

class TableExtensions : public ::testing::Test
{
protected:
    void SetUp() override
    {
        AjouterDossiers(images);
        extension.Remplir(images);
    }

    ListeImages images;
    Extension extension;
};

} // namespace

TEST_F(TableExtensions, EveryRowIsALowerCaseExtensionOfAKeptCategoryThatLooksUpToItself)
{
    const std::vector<TExt>& table = extension.Table();
    std::set<std::string> vues;
    std::set<Categorie> categories;
    for (const TExt& ligne : table) {
        SCOPED_TRACE(ligne.Ext);
        EXPECT_TRUE(vues.insert(ligne.Ext).second) << "listed twice";
        EXPECT_FALSE(ligne.Ext.empty());
        EXPECT_TRUE(std::none_of(ligne.Ext.begin(), ligne.Ext.end(), [](char ch) { return ch >= 'A' && ch <= 'Z'; }));
        EXPECT_TRUE(CategorieValide(ligne.Cat));
        categories.insert(ligne.Cat);
        Categorie trouvee = Categorie::Autre;
        int32_t icone = 0;
        extension.Rechercher(ligne.Ext, trouvee, icone);
        EXPECT_EQ(trouvee, ligne.Cat);
        EXPECT_EQ(icone, ligne.Icone);
    }
    // Each kept category has its rows, gathered: the rows of one category follow each other.
    EXPECT_EQ(categories.size(), size_t(NombreCategories));
    for (size_t i = 1; i < table.size(); ++i)
        EXPECT_LE(Code(table[i - 1].Cat), Code(table[i].Cat)) << table[i].Ext;
}

TEST_F(TableExtensions, EveryCaptureSucceedsAndIconsFollowTheFolders)
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

TEST_F(TableExtensions, FailedCaptureGivesMinusOneAndAppendsNothing)
{
    const QString theme = QIcon::themeName();
    QIcon::setThemeName(QStringLiteral("ruvizaro-theme-absent"));
    const int avant = images.Nombre();
    const int icone = extension.CapturerIcone("avi", images);
    QIcon::setThemeName(theme);
    EXPECT_EQ(icone, -1);
    EXPECT_EQ(images.Nombre(), avant);
}

TEST_F(TableExtensions, LookupIsExactAndCaseSensitive)
{
    Categorie categorie = Categorie::Video;
    int32_t icone = 0;
    extension.Rechercher("mp4", categorie, icone);
    EXPECT_EQ(categorie, Categorie::Son);
    EXPECT_EQ(icone, 18);

    extension.Rechercher("jpg", categorie, icone);
    EXPECT_EQ(categorie, Categorie::Image);
    EXPECT_EQ(icone, 19);
    extension.Rechercher("jpeg", categorie, icone);
    EXPECT_EQ(categorie, Categorie::Image);
    EXPECT_EQ(icone, 20);
    EXPECT_NE(extension.IndexDe("jpg"), extension.IndexDe("jpeg"));
    EXPECT_NE(extension.IndexDe("mid"), extension.IndexDe("midi"));
    EXPECT_NE(extension.IndexDe("mpg"), extension.IndexDe("mpeg"));

    extension.Rechercher("avi", categorie, icone);
    EXPECT_EQ(categorie, Categorie::Video);
    EXPECT_EQ(icone, 2);
    extension.Rechercher("ppt", categorie, icone);
    EXPECT_EQ(categorie, Categorie::Texte);
    EXPECT_EQ(icone, 31);

    // Unknown: category 5, the icon left unset.
    for (const char* ext : {"JPG", "zip", "zip", "", "tar.gz", " jpg", "jpg "}) {
        icone = -77;
        extension.Rechercher(ext, categorie, icone);
        EXPECT_EQ(categorie, Categorie::Autre) << ext;
        EXPECT_EQ(icone, -77) << ext;
        EXPECT_EQ(extension.IndexDe(ext), -1) << ext;
    }

    // The cache gives the same answers as the table, whatever came before.
    for (const char* ext : {"png", "png", "zip", "png", "", "png"}) {
        extension.Rechercher(ext, categorie, icone);
        if (std::string(ext) == "png") {
            EXPECT_EQ(categorie, Categorie::Image);
            EXPECT_EQ(icone, 24);
            EXPECT_EQ(extension.IndexDe(ext), 22);
        } else {
            EXPECT_EQ(categorie, Categorie::Autre);
        }
    }
}

TEST(TableExtensionsVide, LookupBeforeFillingFindsNothing)
{
    Extension extension;
    Categorie categorie = Categorie::Video;
    int32_t icone = 0;
    extension.Rechercher("jpg", categorie, icone);
    EXPECT_EQ(categorie, Categorie::Autre);
    extension.Rechercher("", categorie, icone);
    EXPECT_EQ(categorie, Categorie::Autre);
}
