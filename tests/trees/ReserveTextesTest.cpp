// Node texts kept in UTF-8 blocks, and the text type that reads them.

#include "trees/ReserveTextes.h"
#include "trees/TexteNoeud.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

TEST(ReserveTextes, KeepsEveryTextAsGiven)
{
    ReserveTextes reserve;
    const std::vector<QString> textes = {
        "",
        "a",
        "(161 032) jpg",
        QString::fromUtf8("(3) ~/Îles/Ærø/été/Zoé"),
        QString::fromUtf8("Ελλάδα 日本 😀 ñ"),
        QString(127, 'x'),             // the longest text with a one-byte length
        QString(128, 'y'),             // two bytes of length
        QString(16384, QChar(0x00E9)), // 32 768 bytes: three bytes of length
        QString(200000, 'z'),          // larger than a block
        QString::fromUtf8("nul\0dedans", 10),
    };
    std::vector<TexteNoeud> gardes;
    for (int tour = 0; tour < 50; ++tour) // enough to spread over several blocks
        for (const QString& t : textes)
            gardes.push_back(reserve.Ajouter(t));
    for (size_t i = 0; i < gardes.size(); ++i) {
        const QString& attendu = textes[i % textes.size()];
        ASSERT_EQ(gardes[i].Chaine(), attendu) << i;
        EXPECT_TRUE(gardes[i] == attendu);
        EXPECT_EQ(gardes[i].Vue().size(), attendu.toUtf8().size());
        EXPECT_EQ(gardes[i].EstVide(), attendu.isEmpty());
    }
    // About the bytes of the UTF-8 texts: not the twice as many of UTF-16.
    EXPECT_LT(reserve.Octets(), size_t(50 * (200000 + 40000 + 2000) * 11 / 10));
    EXPECT_GE(reserve.Octets(), size_t(50 * (200000 + 32768)));

    reserve.Vider();
    EXPECT_EQ(reserve.Octets(), 0u);
    EXPECT_EQ(reserve.Ajouter(QStringLiteral("après")).Chaine(), QStringLiteral("après"));
}

TEST(TexteNoeud, ComparesWithQStringAndUtf8AndReadsAsQString)
{
    ReserveTextes reserve;
    const TexteNoeud jpg = reserve.Ajouter(QStringLiteral("(2) jpg"));
    const TexteNoeud accent = reserve.Ajouter(QString::fromUtf8("été.jpg"));

    EXPECT_TRUE(jpg == "(2) jpg");
    EXPECT_FALSE(jpg == "(2) jp");
    EXPECT_FALSE(jpg == "(2) jpgx");
    EXPECT_TRUE(jpg != "(3) jpg");
    EXPECT_TRUE(jpg == QStringLiteral("(2) jpg"));
    EXPECT_TRUE(QStringLiteral("(2) jpg") == jpg);
    EXPECT_TRUE(jpg != QStringLiteral("(2) JPG"));
    EXPECT_TRUE(accent == "\xc3\xa9t\xc3\xa9.jpg");
    EXPECT_TRUE(accent == QString::fromUtf8("été.jpg"));
    EXPECT_FALSE(accent == QStringLiteral("ete.jpg"));
    EXPECT_TRUE(accent == reserve.Ajouter(QString::fromUtf8("été.jpg")));
    EXPECT_FALSE(accent == jpg);

    const QString copie = jpg;
    EXPECT_EQ(copie, "(2) jpg");
    std::ostringstream flux;
    flux << accent;
    EXPECT_EQ(flux.str(), "\xc3\xa9t\xc3\xa9.jpg");

    const TexteNoeud vide;
    EXPECT_TRUE(vide.EstVide());
    EXPECT_TRUE(vide == "");
    EXPECT_TRUE(vide.Chaine().isEmpty());
}

TEST(TexteNoeud, LengthsRoundTripAtEveryByteBoundary)
{
    for (size_t n : {size_t(0), size_t(1), size_t(127), size_t(128), size_t(16383), size_t(16384), size_t(2097151),
                     size_t(2097152)}) {
        std::string octets(TexteNoeud::TailleLongueur(n) + n, 'q');
        char* fin = TexteNoeud::EcrireLongueur(octets.data(), n);
        EXPECT_EQ(static_cast<size_t>(fin - octets.data()), TexteNoeud::TailleLongueur(n)) << n;
        const TexteNoeud texte(octets.data());
        EXPECT_EQ(static_cast<size_t>(texte.Vue().size()), n);
        EXPECT_EQ(texte.Vue().data(), fin);
    }
    EXPECT_EQ(TexteNoeud::TailleLongueur(127), 1u);
    EXPECT_EQ(TexteNoeud::TailleLongueur(128), 2u);
    EXPECT_EQ(TexteNoeud::TailleLongueur(16384), 3u);
}

} // namespace
