// The preview's picture loader on real files: every format it takes, with
// its colours and original size, and every file it must turn down.

#include "media/ChargeurImage.h"

#include "support/ImagesDeTest.h"
#include "support/ArbreTemporaire.h"

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stop_token>
#include <string>

namespace {

constexpr int Enorme = 60000;

QByteArray Encoder(const QImage& image, const char* format)
{
    QByteArray octets;
    QBuffer tampon(&octets);
    tampon.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&tampon, format)) << format;
    return octets;
}

void Ecrire(const std::string& chemin, const QByteArray& octets)
{
    std::ofstream sortie(chemin, std::ios::binary | std::ios::trunc);
    sortie.write(octets.constData(), octets.size());
}

void EcrireGrandBoutiste32(QByteArray& octets, qsizetype position, std::uint32_t valeur)
{
    for (int i = 0; i < 4; ++i)
        octets[position + i] = char((valeur >> (24 - 8 * i)) & 0xFF);
}

std::uint32_t Crc32(const QByteArray& octets)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char c : octets) {
        crc ^= std::uint8_t(c);
        for (int i = 0; i < 8; ++i)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray ChunkPng(const QByteArray& type, const QByteArray& donnees)
{
    QByteArray chunk(4, '\0');
    EcrireGrandBoutiste32(chunk, 0, std::uint32_t(donnees.size()));
    const QByteArray corps = type + donnees;
    chunk += corps;
    QByteArray crc(4, '\0');
    EcrireGrandBoutiste32(crc, 0, Crc32(corps));
    return chunk + crc;
}

// A well-formed PNG claiming largeur × hauteur, with an empty data stream.
QByteArray PngPretendu(int largeur, int hauteur)
{
    QByteArray ihdr(13, '\0');
    EcrireGrandBoutiste32(ihdr, 0, std::uint32_t(largeur));
    EcrireGrandBoutiste32(ihdr, 4, std::uint32_t(hauteur));
    ihdr[8] = 8; // bit depth
    ihdr[9] = 2; // RGB
    const QByteArray zlibVide("\x78\x9C\x03\x00\x00\x00\x00\x01", 8);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + ChunkPng("IHDR", ihdr) + ChunkPng("IDAT", zlibVide) +
           ChunkPng("IEND", {});
}

// A real JPEG whose frame header is rewritten to claim largeur × hauteur.
QByteArray JpegPretendu(int largeur, int hauteur)
{
    QByteArray octets = Encoder(DeuxCouleurs(64, 64), "JPG");
    const qsizetype sof = octets.indexOf(QByteArray("\xFF\xC0", 2));
    EXPECT_GT(sof, 0);
    octets[sof + 5] = char(hauteur >> 8);
    octets[sof + 6] = char(hauteur & 0xFF);
    octets[sof + 7] = char(largeur >> 8);
    octets[sof + 8] = char(largeur & 0xFF);
    return octets;
}

// A real BMP whose header is rewritten to claim largeur × hauteur.
QByteArray BmpPretendu(int largeur, int hauteur)
{
    QByteArray octets = Encoder(DeuxCouleurs(8, 8), "BMP");
    for (int i = 0; i < 4; ++i) {
        octets[18 + i] = char((largeur >> (8 * i)) & 0xFF);
        octets[22 + i] = char((hauteur >> (8 * i)) & 0xFF);
    }
    return octets;
}

// A GIF header whose screen and picture claim largeur × hauteur.
QByteArray GifPretendu(int largeur, int hauteur)
{
    QByteArray octets("GIF89a");
    const auto mot = [&octets](int valeur) {
        octets += char(valeur & 0xFF);
        octets += char((valeur >> 8) & 0xFF);
    };
    mot(largeur);
    mot(hauteur);
    octets += QByteArray("\x80\x00\x00", 3); // two-colour table
    octets += QByteArray("\x00\x00\x00\xFF\xFF\xFF", 6);
    octets += char(0x2C);
    mot(0);
    mot(0);
    mot(largeur);
    mot(hauteur);
    octets += QByteArray("\x00\x02\x02\x4C\x01\x00\x3B", 7);
    return octets;
}

// The JPEG with a camera's Exif segment right after its start marker, the
// orientation tag in a big- or little-endian TIFF block.
QByteArray AvecOrientation(const QByteArray& jpeg, int orientation, bool petitBoutiste)
{
    const auto mot = [petitBoutiste](QByteArray& o, int v) {
        const char a = char(v & 0xFF), b = char((v >> 8) & 0xFF);
        o += petitBoutiste ? a : b;
        o += petitBoutiste ? b : a;
    };
    QByteArray tiff(petitBoutiste ? "II" : "MM");
    mot(tiff, 42);
    mot(tiff, petitBoutiste ? 8 : 0); // first directory at offset 8
    mot(tiff, petitBoutiste ? 0 : 8);
    mot(tiff, 1);      // one entry
    mot(tiff, 0x0112); // orientation, SHORT, count 1
    mot(tiff, 3);
    mot(tiff, petitBoutiste ? 1 : 0);
    mot(tiff, petitBoutiste ? 0 : 1);
    mot(tiff, orientation);
    mot(tiff, 0);
    tiff += QByteArray(4, '\0'); // no next directory
    const QByteArray corps = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray segment("\xFF\xE1", 2);
    segment += char((corps.size() + 2) >> 8);
    segment += char((corps.size() + 2) & 0xFF);
    return jpeg.left(2) + segment + corps + jpeg.mid(2);
}

bool Rouge(const QColor& c)
{
    return c.red() > 200 && c.green() < 60 && c.blue() < 60;
}
bool Bleu(const QColor& c)
{
    return c.blue() > 200 && c.red() < 60 && c.green() < 60;
}

} // namespace

TEST(ChargeurImage, EachFormatFitsTheFrameKeepsItsColoursAndGivesItsOriginalSize)
{
    ArbreTemporaire arbre;
    struct Cas
    {
        std::string Nom;
        const char* Format;
        QSize Origine;
        QSize Attendue;
    };
    const Cas cas[] = {
        {"photo.jpg", "JPG", {640, 480}, {160, 120}},
        {"haute.jpeg", "JPG", {300, 1200}, {40, 160}},
        {"grande.png", "PNG", {1200, 900}, {160, 120}},
        // Read straight at frame size, the original size from the header.
        {"enorme.png", "PNG", {4000, 3000}, {160, 120}},
        {"petite.bmp", "BMP", {40, 30}, {40, 30}},
        {"large.bmp", "BMP", {800, 200}, {160, 40}},
        {"icone.ico", "ICO", {32, 32}, {32, 32}},
        // The content decides, not the name.
        {"png-deguise.jpg", "PNG", {200, 100}, {160, 80}},
        {"jpeg-deguise.png", "JPG", {320, 320}, {160, 160}},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.Nom);
        const std::string chemin = arbre.Fichier(c.Nom);
        Ecrire(chemin, Encoder(DeuxCouleurs(c.Origine.width(), c.Origine.height()), c.Format));
        ChargeurImage::Resultat resultat;
        ASSERT_TRUE(ChargeurImage::Charger(chemin, resultat));
        EXPECT_EQ(resultat.LargeurOrigine, c.Origine.width());
        EXPECT_EQ(resultat.HauteurOrigine, c.Origine.height());
        EXPECT_EQ(resultat.Image.size(), c.Attendue);
        const int y = resultat.Image.height() / 2;
        EXPECT_TRUE(Rouge(resultat.Image.pixelColor(resultat.Image.width() / 8, y)))
            << resultat.Image.pixelColor(resultat.Image.width() / 8, y).name().toStdString();
        EXPECT_TRUE(Bleu(resultat.Image.pixelColor(resultat.Image.width() * 7 / 8, y)))
            << resultat.Image.pixelColor(resultat.Image.width() * 7 / 8, y).name().toStdString();
    }
}

TEST(ChargeurImage, CameraOrientationTurnsThePictureUprightAndKeepsTheStoredSize)
{
    ArbreTemporaire arbre;
    // Stored 320 x 160, red left, blue right.
    const QByteArray jpeg = Encoder(DeuxCouleurs(320, 160), "JPG");
    ChargeurImage::Resultat resultat;

    // 6: a quarter turn clockwise; the left half comes on top.
    const std::string portrait = arbre.Fichier("portrait.jpg");
    Ecrire(portrait, AvecOrientation(jpeg, 6, false));
    ASSERT_TRUE(ChargeurImage::Charger(portrait, resultat));
    EXPECT_EQ(resultat.Image.size(), QSize(80, 160));
    EXPECT_TRUE(Rouge(resultat.Image.pixelColor(40, 20)));
    EXPECT_TRUE(Bleu(resultat.Image.pixelColor(40, 140)));
    EXPECT_EQ(resultat.LargeurOrigine, 320);
    EXPECT_EQ(resultat.HauteurOrigine, 160);

    // 3: upside down; the left half goes right.
    const std::string renverse = arbre.Fichier("renverse.jpg");
    Ecrire(renverse, AvecOrientation(jpeg, 3, true));
    ASSERT_TRUE(ChargeurImage::Charger(renverse, resultat));
    EXPECT_EQ(resultat.Image.size(), QSize(160, 80));
    EXPECT_TRUE(Bleu(resultat.Image.pixelColor(20, 40)));
    EXPECT_TRUE(Rouge(resultat.Image.pixelColor(140, 40)));
    EXPECT_EQ(resultat.LargeurOrigine, 320);
    EXPECT_EQ(resultat.HauteurOrigine, 160);
}

TEST(ChargeurImage, PathBytesThatAreNotUtf8StillOpen)
{
    ArbreTemporaire arbre;
    const std::string chemin = arbre.Racine() + "/\xE9t\xE9 \xFF.jpg";
    Ecrire(chemin, Encoder(DeuxCouleurs(64, 48), "JPG"));
    ChargeurImage::Resultat resultat;
    const bool charge = ChargeurImage::Charger(chemin, resultat);
    // QTemporaryDir cannot remove such a name.
    std::filesystem::remove(chemin);
    ASSERT_TRUE(charge);
    EXPECT_EQ(resultat.LargeurOrigine, 64);
    EXPECT_EQ(resultat.HauteurOrigine, 48);
}

TEST(ChargeurImage, WhatIsNotAPictureFileIsRefused)
{
    ArbreTemporaire arbre;
    const QByteArray jpeg = Encoder(DeuxCouleurs(640, 480), "JPG");

    Ecrire(arbre.Fichier("texte.bmp"), "Ceci n'est pas une image.\n");
    Ecrire(arbre.Fichier("tronque.jpg"), jpeg.left(jpeg.size() / 2));
    QByteArray abime = jpeg;
    for (qsizetype i = abime.size() / 3; i < abime.size() - 2; i += 7)
        abime[i] = char(0xFF);
    Ecrire(arbre.Fichier("abime.jpg"), abime);
    Ecrire(arbre.Fichier("entete.jpg"), QByteArray("\xFF\xD8\xFF", 3));
    const QByteArray png = Encoder(DeuxCouleurs(1200, 900), "PNG");
    Ecrire(arbre.Fichier("tronque.png"), png.left(png.size() / 2));
    QByteArray pngAbime = png;
    for (qsizetype i = pngAbime.size() / 3; i < pngAbime.size() - 20; i += 7)
        pngAbime[i] = char(0x5A);
    Ecrire(arbre.Fichier("abime.png"), pngAbime);
    arbre.Fichier("vide.png");
    // Qt reads these, but they are not picture formats of the preview.
    Ecrire(arbre.Fichier("portable.bmp"), Encoder(DeuxCouleurs(8, 8), "PPM"));
    Ecrire(arbre.Fichier("dessin.gif"), Encoder(DeuxCouleurs(8, 8), "XPM"));
    arbre.Repertoire("dossier.jpg");
    const std::string tube = arbre.Racine() + "/tube.png";
    ASSERT_EQ(mkfifo(tube.c_str(), 0600), 0);

    for (const std::string nom : {"texte.bmp", "tronque.jpg", "abime.jpg", "entete.jpg", "tronque.png", "abime.png",
                                  "vide.png", "portable.bmp", "dessin.gif", "dossier.jpg", "tube.png", "absent.jpg"}) {
        SCOPED_TRACE(nom);
        ChargeurImage::Resultat resultat;
        EXPECT_FALSE(ChargeurImage::Charger(arbre.Racine() + "/" + nom, resultat));
        EXPECT_TRUE(resultat.Image.isNull());
        EXPECT_EQ(resultat.LargeurOrigine, 0);
    }
    ChargeurImage::Resultat resultat;
    EXPECT_FALSE(ChargeurImage::Charger("", resultat));
}

TEST(ChargeurImage, AbsurdSizesAreRefusedBeforeDecoding)
{
    ArbreTemporaire arbre;
    Ecrire(arbre.Fichier("geant.png"), PngPretendu(Enorme, Enorme));
    Ecrire(arbre.Fichier("geant.jpg"), JpegPretendu(Enorme, Enorme));
    Ecrire(arbre.Fichier("geant.bmp"), BmpPretendu(Enorme, Enorme));
    Ecrire(arbre.Fichier("geant.gif"), GifPretendu(Enorme, Enorme));
    // Under the pixel cap but far over what Qt may allocate at full size.
    Ecrire(arbre.Fichier("large.bmp"), BmpPretendu(Enorme, 2000));
    for (const std::string nom : {"geant.png", "geant.jpg", "geant.bmp", "geant.gif", "large.bmp"}) {
        SCOPED_TRACE(nom);
        ChargeurImage::Resultat resultat;
        EXPECT_FALSE(ChargeurImage::Charger(arbre.Racine() + "/" + nom, resultat));
        EXPECT_TRUE(resultat.Image.isNull());
    }

    // The same headers with a sensible size are taken, so the refusals above
    // come from the size and not from the rewriting.
    Ecrire(arbre.Fichier("juste.jpg"), JpegPretendu(64, 64));
    ChargeurImage::Resultat resultat;
    EXPECT_TRUE(ChargeurImage::Charger(arbre.Racine() + "/juste.jpg", resultat));
    Ecrire(arbre.Fichier("juste.bmp"), BmpPretendu(8, 8));
    EXPECT_TRUE(ChargeurImage::Charger(arbre.Racine() + "/juste.bmp", resultat));
}

TEST(ChargeurImage, AStopRequestGivesUpTheLoad)
{
    ArbreTemporaire arbre;
    const std::string jpeg = arbre.Fichier("photo.jpg");
    const std::string png = arbre.Fichier("grande.png");
    Ecrire(jpeg, Encoder(DeuxCouleurs(640, 480), "JPG"));
    Ecrire(png, Encoder(DeuxCouleurs(1200, 900), "PNG"));
    std::stop_source arret;
    arret.request_stop();
    for (const std::string& chemin : {jpeg, png}) {
        SCOPED_TRACE(chemin);
        ChargeurImage::Resultat resultat;
        EXPECT_FALSE(ChargeurImage::Charger(chemin, resultat, QSize(160, 160), arret.get_token()));
        EXPECT_TRUE(resultat.Image.isNull());
        // The same load without the request succeeds.
        EXPECT_TRUE(ChargeurImage::Charger(chemin, resultat, QSize(160, 160), std::stop_source().get_token()));
    }
}

TEST(ChargeurImage, PicturesOfExtremeShapesKeepAtLeastOnePixelEachWay)
{
    ArbreTemporaire arbre;
    struct Cas
    {
        std::string Nom;
        const char* Format;
        QSize Origine;
        QSize Attendue;
    };
    const Cas cas[] = {
        {"fil.png", "PNG", {1, 100000}, {1, 160}},
        {"fil.bmp", "BMP", {1, 100000}, {1, 160}},
        {"trait.png", "PNG", {100000, 1}, {160, 1}},
        {"trait.bmp", "BMP", {100000, 1}, {160, 1}},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.Nom);
        const std::string chemin = arbre.Fichier(c.Nom);
        QImage image(c.Origine, QImage::Format_RGB32);
        image.fill(Qt::red);
        Ecrire(chemin, Encoder(image, c.Format));
        ChargeurImage::Resultat resultat;
        ASSERT_TRUE(ChargeurImage::Charger(chemin, resultat));
        EXPECT_EQ(resultat.LargeurOrigine, c.Origine.width());
        EXPECT_EQ(resultat.HauteurOrigine, c.Origine.height());
        EXPECT_EQ(resultat.Image.size(), c.Attendue);
        EXPECT_TRUE(Rouge(resultat.Image.pixelColor(0, 0)));
    }
}
