// The extension table: its rows and their icon indexes, the lookup with its
// one-entry cache.

#include "classification/Extension.h"

#include "support/Codes.h"
#include "support/MoteurDeTest.h"

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
    void SetUp() override { extension.Remplir(IconesApresDossiers()); }

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
