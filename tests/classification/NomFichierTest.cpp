// Case folding, extensions, first-letter buckets and display text of byte
// file names.

#include "classification/NomFichier.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

TEST(NomFichier, LowerCasesAsciiAndAccentedCapitalsOnly)
{
    const std::vector<std::pair<std::string, std::string>> cas = {
        {"PHOTO.JPG", "photo.jpg"},
        {"ÉTÉ À ÇA", "été à ça"},
        {"ÀÁÂÃÄÅÆÇÈÉÊËÌÍÎÏÐÑÒÓÔÕÖØÙÚÛÜÝÞ", "àáâãäåæçèéêëìíîïðñòóôõöøùúûüýþ"},
        {"2×3", "2×3"},                   // the multiplication sign has no small form
        {"ßÿ", "ßÿ"},                     // already small
        {"Œuvre", "Œuvre"},               // outside Latin-1: left alone
        {"\xff\xfe.JPG", "\xff\xfe.jpg"}, // invalid bytes stay
        {"\xc3", "\xc3"},                 // truncated sequence at the end
        {std::string("\xc3"
                     "A"),
         std::string("\xc3"
                     "a")}, // lead byte without continuation
        {"", ""},
    };
    for (const auto& [nom, attendu] : cas)
        EXPECT_EQ(NomFichier::Minuscules(nom), attendu) << nom;

    std::string sortie = "x";
    NomFichier::AjouterMinuscules("AB", sortie);
    EXPECT_EQ(sortie, "xab");
}

TEST(NomFichier, ExtensionIsTheLowerCasedTextAfterTheLastDot)
{
    const std::vector<std::pair<std::string, std::string>> cas = {
        {"Photo.Vacances.JPG", "jpg"},
        {"archive.", ""},
        {".profile", "profile"},
        {"LISEZMOI", ""},
        {"a.TAR.GZ", "gz"},
        {"PHOTO.JPG", "jpg"},
        {"film.Mp4", "mp4"},
        {"x.ÉTÉ", "été"},
        {"\xff\xfe.JPG", "jpg"},
        {"nom.\xff"
         "A",
         "\xff"
         "a"},
        {"", ""},
        {".", ""},
    };
    for (const auto& [nom, ext] : cas)
        EXPECT_EQ(NomFichier::ExtraireExtension(nom), ext) << nom;
}

TEST(NomFichier, BucketOfTheFirstCharacter)
{
    const std::vector<std::pair<std::string, int>> cas = {
        {"Été.txt", 5},   {"été.txt", 5},   {"2004.jpg", 0},  {"9", 0},     {"_readme.txt", 27},
        {"Îles.doc", 27}, {"îles.doc", 27}, {"Zoé.mp3", 26},  {"ïle", 9},   {"Ïle", 9},
        {"a", 1},         {"B", 2},         {"Ça", 3},        {"à", 1},     {"Â", 1},
        {"ä", 1},         {"è", 5},         {"Ê", 5},         {"ë", 5},     {"ô", 15},
        {"Ö", 15},        {"Über", 21},     {"û", 21},        {"u", 21},    {"v", 22},
        {"ñ", 27},        {"á", 27},        {"Å", 27},        {"ÿ", 27},    {"ì", 27},
        {"", 27},         {".profile", 27}, {"\xff.jpg", 27}, {"\xc3", 27}, {"Œuvre", 27},
    };
    for (const auto& [nom, attendu] : cas)
        EXPECT_EQ(NomFichier::Lettre(nom), attendu) << nom;
}

TEST(NomFichier, DisplayTextShowsInvalidBytesAndControlCharactersVisibly)
{
    EXPECT_EQ(NomFichier::Texte("Été.jpg"), QStringLiteral("Été.jpg"));
    const QString invalide = NomFichier::Texte("\xff\xfe.jpg");
    EXPECT_TRUE(invalide.contains(QChar(0xFFFD)));
    EXPECT_TRUE(invalide.endsWith(QStringLiteral(".jpg")));
    // Every control character keeps a place of its own on one line.
    const std::string_view controles("a\nb\tc\rd\x7f\x1f\0e", 11);
    EXPECT_EQ(NomFichier::Texte(controles), QStringLiteral("a␊b␉c␍d␡␟␀e"));
    // A byte order mark is a character of the name, at its start as elsewhere.
    EXPECT_EQ(NomFichier::Texte("\xEF\xBB\xBF"), QString(QChar(0xFEFF)));
    EXPECT_EQ(NomFichier::Texte("\xEF\xBB\xBF\xEF\xBB\xBF"
                                "a.jpg"),
              QStringLiteral("\uFEFF\uFEFFa.jpg"));
}
