#include "media/DecodeurJpeg.h"

#include "support/JpegsForges.h"

#include <QBuffer>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include <jpeglib.h>

namespace {

constexpr int Largeur = 640;
constexpr int Hauteur = 480;
constexpr int QualiteHaute = 95;
constexpr int Tolerance = 12;
const QSize Apercu(160, 160);

const QColor Rouge(220, 30, 30);
const QColor Vert(30, 200, 60);
const QColor Bleu(40, 60, 210);
const QColor Blanc(250, 250, 250);

// Four flat quadrants: red, green / blue, white.
QImage Quadrants(int largeur = Largeur, int hauteur = Hauteur)
{
    QImage image(largeur, hauteur, QImage::Format_RGB32);
    QPainter peintre(&image);
    const int demiL = largeur / 2;
    const int demiH = hauteur / 2;
    peintre.fillRect(0, 0, demiL, demiH, Rouge);
    peintre.fillRect(demiL, 0, largeur - demiL, demiH, Vert);
    peintre.fillRect(0, demiH, demiL, hauteur - demiH, Bleu);
    peintre.fillRect(demiL, demiH, largeur - demiL, hauteur - demiH, Blanc);
    return image;
}

QByteArray EnJpeg(const QImage& image, bool progressif = false, int qualite = QualiteHaute)
{
    QByteArray octets;
    QBuffer tampon(&octets);
    tampon.open(QIODevice::WriteOnly);
    QImageWriter writer(&tampon, "JPG");
    writer.setQuality(qualite);
    writer.setProgressiveScanWrite(progressif);
    EXPECT_TRUE(writer.write(image)) << writer.errorString().toStdString();
    return octets;
}

::testing::AssertionResult CouleurProche(const QImage& image, double fx, double fy, const QColor& attendue)
{
    const int x = int(fx * image.width());
    const int y = int(fy * image.height());
    const QColor lue = image.pixelColor(x, y);
    if (std::abs(lue.red() - attendue.red()) <= Tolerance && std::abs(lue.green() - attendue.green()) <= Tolerance &&
        std::abs(lue.blue() - attendue.blue()) <= Tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "at (" << x << "," << y << ") read " << lue.name().toStdString()
                                         << ", expected " << attendue.name().toStdString();
}

void VerifierQuadrants(const QImage& image)
{
    EXPECT_TRUE(CouleurProche(image, 0.25, 0.25, Rouge));
    EXPECT_TRUE(CouleurProche(image, 0.75, 0.25, Vert));
    EXPECT_TRUE(CouleurProche(image, 0.25, 0.75, Bleu));
    EXPECT_TRUE(CouleurProche(image, 0.75, 0.75, Blanc));
}

// Every fourth byte must be 0xFF, as Format_RGBX8888 demands.
bool RembourrageOpaque(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        const uchar* ligne = image.constScanLine(y);
        for (int x = 0; x < image.width(); ++x)
            if (ligne[x * 4 + 3] != 0xFF)
                return false;
    }
    return true;
}

// Offset of the first SOFn marker's segment (just after FF Cx), or -1.
qsizetype SegmentSof(const QByteArray& jpeg)
{
    for (qsizetype i = 2; i + 9 < jpeg.size(); ++i) {
        if (uchar(jpeg[i]) != 0xFF)
            continue;
        const uchar marqueur = uchar(jpeg[i + 1]);
        if (marqueur == 0xC0 || marqueur == 0xC2)
            return i + 2;
        // Skip the whole segment of any other marker.
        if (marqueur >= 0xE0 || marqueur == 0xDB || marqueur == 0xC4 || marqueur == 0xFE)
            i += 1 + ((uchar(jpeg[i + 2]) << 8) | uchar(jpeg[i + 3]));
    }
    return -1;
}

QByteArray AvecDimensions(QByteArray jpeg, int largeur, int hauteur)
{
    const qsizetype sof = SegmentSof(jpeg);
    EXPECT_GT(sof, 0);
    if (sof <= 0)
        return {};
    // Length (2), precision (1), height (2), width (2).
    jpeg[sof + 3] = char(hauteur >> 8);
    jpeg[sof + 4] = char(hauteur & 0xFF);
    jpeg[sof + 5] = char(largeur >> 8);
    jpeg[sof + 6] = char(largeur & 0xFF);
    return jpeg;
}

// A baseline grayscale JPEG of any size, flat mid grey, built by hand: with a
// one-code Huffman table every 8 x 8 block costs two zero bits, so even a
// 250-megapixel picture fits in about a megabyte and decodes for real.
QByteArray JpegGrisUni(int largeur, int hauteur)
{
    constexpr int CoteBloc = 8;
    constexpr int Coefficients = 64;
    constexpr int BitsParBloc = 2;
    const auto segment = [](QByteArray& sortie, uchar marqueur, const QByteArray& contenu) {
        const int longueur = int(contenu.size()) + 2;
        sortie += char(0xFF);
        sortie += char(marqueur);
        sortie += char(longueur >> 8);
        sortie += char(longueur & 0xFF);
        sortie += contenu;
    };
    QByteArray jpeg("\xFF\xD8", 2);
    segment(jpeg, 0xDB, QByteArray(1, '\0') + QByteArray(Coefficients, '\1'));
    const char trame[] = {
        8, char(hauteur >> 8), char(hauteur & 0xFF), char(largeur >> 8), char(largeur & 0xFF), 1, 1, 0x11, 0};
    segment(jpeg, 0xC0, QByteArray(trame, sizeof trame));
    // One code of length 1 for symbol 0: "no DC change" and "end of block".
    constexpr int LongueursCodes = 16;
    QByteArray table(LongueursCodes + 1, '\0');
    table[0] = 1;
    segment(jpeg, 0xC4, QByteArray(1, '\x00') + table);
    segment(jpeg, 0xC4, QByteArray(1, '\x10') + table);
    const char balayage[] = {1, 1, 0x00, 0, 63, 0};
    segment(jpeg, 0xDA, QByteArray(balayage, sizeof balayage));
    const qint64 blocs = qint64((largeur + CoteBloc - 1) / CoteBloc) * ((hauteur + CoteBloc - 1) / CoteBloc);
    jpeg += QByteArray(qsizetype((blocs * BitsParBloc + 7) / 8), '\0');
    jpeg += QByteArray("\xFF\xD9", 2);
    return jpeg;
}

struct LibererMemoire
{
    void operator()(unsigned char* p) const { std::free(p); }
};

struct Compression
{
    jpeg_compress_struct info{};
    jpeg_error_mgr erreur{};
    Compression()
    {
        info.err = jpeg_std_error(&erreur);
        jpeg_create_compress(&info);
    }
    ~Compression() { jpeg_destroy_compress(&info); }
};

// A CMYK JPEG of one flat colour. Written the Adobe way, the inks are stored
// inverted and the file says so; without the Adobe marker they are stored as is.
QByteArray JpegCmyk(int cote, const unsigned char encre[4], bool adobe = true)
{
    Compression compression;
    unsigned char* sortie = nullptr;
    unsigned long taille = 0;
    jpeg_mem_dest(&compression.info, &sortie, &taille);
    compression.info.image_width = JDIMENSION(cote);
    compression.info.image_height = JDIMENSION(cote);
    compression.info.input_components = 4;
    compression.info.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&compression.info);
    jpeg_set_quality(&compression.info, QualiteHaute, TRUE);
    compression.info.write_Adobe_marker = adobe ? TRUE : FALSE;
    jpeg_start_compress(&compression.info, TRUE);
    std::vector<unsigned char> ligne(size_t(cote) * 4);
    for (int x = 0; x < cote; ++x)
        std::copy(encre, encre + 4, ligne.begin() + x * 4);
    while (compression.info.next_scanline < compression.info.image_height) {
        JSAMPROW rangee = ligne.data();
        jpeg_write_scanlines(&compression.info, &rangee, 1);
    }
    jpeg_finish_compress(&compression.info);
    std::unique_ptr<unsigned char, LibererMemoire> garde(sortie);
    return QByteArray(reinterpret_cast<const char*>(sortie), qsizetype(taille));
}

bool EstVide(const DecodeurJpeg::Resultat& resultat)
{
    return resultat.Image.isNull() && resultat.LargeurOrigine == 0 && resultat.HauteurOrigine == 0;
}

// A result left over from an earlier decode, to see that failures clear it.
DecodeurJpeg::Resultat Sali()
{
    DecodeurJpeg::Resultat resultat;
    resultat.Image = QImage(4, 4, QImage::Format_RGBX8888);
    resultat.LargeurOrigine = 4;
    resultat.HauteurOrigine = 4;
    return resultat;
}

} // namespace

TEST(DecodeurJpeg, DecodesFullSizeWithTheRightColours)
{
    DecodeurJpeg::Resultat resultat;
    ASSERT_TRUE(DecodeurJpeg::Decoder(EnJpeg(Quadrants()), resultat));
    EXPECT_EQ(resultat.Image.size(), QSize(Largeur, Hauteur));
    EXPECT_EQ(resultat.Image.format(), QImage::Format_RGBX8888);
    EXPECT_EQ(resultat.LargeurOrigine, Largeur);
    EXPECT_EQ(resultat.HauteurOrigine, Hauteur);
    VerifierQuadrants(resultat.Image);
    EXPECT_TRUE(RembourrageOpaque(resultat.Image));

    // An empty or invalid target means full size too.
    ASSERT_TRUE(DecodeurJpeg::Decoder(EnJpeg(Quadrants()), resultat, QSize(0, 0)));
    EXPECT_EQ(resultat.Image.size(), QSize(Largeur, Hauteur));
}

TEST(DecodeurJpeg, DecodesAtReducedScaleForAPreview)
{
    DecodeurJpeg::Resultat resultat;
    ASSERT_TRUE(DecodeurJpeg::Decoder(EnJpeg(Quadrants()), resultat, Apercu));
    EXPECT_EQ(resultat.LargeurOrigine, Largeur);
    EXPECT_EQ(resultat.HauteurOrigine, Hauteur);
    const QSize ajustee = QSize(Largeur, Hauteur).scaled(Apercu, Qt::KeepAspectRatio);
    EXPECT_EQ(ajustee, QSize(160, 120));
    EXPECT_GE(resultat.Image.width(), ajustee.width());
    EXPECT_GE(resultat.Image.height(), ajustee.height());
    EXPECT_LT(resultat.Image.width(), Largeur);
    EXPECT_LT(resultat.Image.height(), Hauteur);
    // 2/8 is exactly the fitted size here.
    EXPECT_EQ(resultat.Image.size(), QSize(160, 120));
    VerifierQuadrants(resultat.Image);
    EXPECT_TRUE(RembourrageOpaque(resultat.Image));

    // A target larger than the picture never upscales.
    ASSERT_TRUE(DecodeurJpeg::Decoder(EnJpeg(Quadrants()), resultat, QSize(4000, 4000)));
    EXPECT_EQ(resultat.Image.size(), QSize(Largeur, Hauteur));
}

TEST(DecodeurJpeg, PicksTheSmallestScaleThatCoversTheTarget)
{
    struct Cas
    {
        QSize origine;
        QSize cible;
    };
    const Cas cas[] = {
        {{640, 480}, {160, 160}}, {{1001, 333}, {160, 160}}, {{333, 1001}, {160, 160}}, {{6000, 4000}, {160, 160}},
        {{200, 150}, {160, 160}}, {{17, 9}, {160, 160}},     {{6000, 4000}, {1, 1}},    {{1024, 1024}, {129, 129}},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(testing::Message() << c.origine.width() << "x" << c.origine.height() << " into " << c.cible.width()
                                        << "x" << c.cible.height());
        const QSize ajustee = c.origine.scaled(c.cible, Qt::KeepAspectRatio);
        const int m = DecodeurJpeg::Echelle(c.origine, c.cible);
        ASSERT_GE(m, 1);
        ASSERT_LE(m, 8);
        const auto taille = [&](int echelle) {
            return QSize((c.origine.width() * echelle + 7) / 8, (c.origine.height() * echelle + 7) / 8);
        };
        const bool couvre = taille(m).width() >= ajustee.width() && taille(m).height() >= ajustee.height();
        EXPECT_TRUE(couvre || m == 8);
        if (m > 1) {
            const QSize plusPetite = taille(m - 1);
            EXPECT_TRUE(plusPetite.width() < ajustee.width() || plusPetite.height() < ajustee.height());
        }

        // The real decode agrees with the computed scale.
        DecodeurJpeg::Resultat resultat;
        if (qint64(c.origine.width()) * c.origine.height() <= 1024 * 1024) {
            ASSERT_TRUE(
                DecodeurJpeg::Decoder(EnJpeg(Quadrants(c.origine.width(), c.origine.height())), resultat, c.cible));
            EXPECT_EQ(resultat.Image.size(), taille(m));
            EXPECT_EQ(resultat.Image.size().boundedTo(ajustee), ajustee.boundedTo(c.origine));
        }
    }
}

TEST(DecodeurJpeg, DecodesGrayscaleProgressiveAndCmyk)
{
    DecodeurJpeg::Resultat resultat;

    QImage gris(Largeur, Hauteur, QImage::Format_Grayscale8);
    gris.fill(QColor(90, 90, 90));
    {
        QPainter peintre(&gris);
        peintre.fillRect(0, 0, Largeur / 2, Hauteur, QColor(200, 200, 200));
    }
    const QByteArray jpegGris = EnJpeg(gris);
    // One component in the frame header: really a grayscale file.
    ASSERT_GT(SegmentSof(jpegGris), 0);
    EXPECT_EQ(uchar(jpegGris[SegmentSof(jpegGris) + 7]), 1);
    ASSERT_TRUE(DecodeurJpeg::Decoder(jpegGris, resultat));
    EXPECT_EQ(resultat.Image.size(), QSize(Largeur, Hauteur));
    EXPECT_TRUE(CouleurProche(resultat.Image, 0.25, 0.5, QColor(200, 200, 200)));
    EXPECT_TRUE(CouleurProche(resultat.Image, 0.75, 0.5, QColor(90, 90, 90)));
    EXPECT_TRUE(RembourrageOpaque(resultat.Image));
    ASSERT_TRUE(DecodeurJpeg::Decoder(jpegGris, resultat, Apercu));
    EXPECT_EQ(resultat.Image.size(), QSize(160, 120));
    EXPECT_TRUE(CouleurProche(resultat.Image, 0.25, 0.5, QColor(200, 200, 200)));

    const QByteArray progressif = EnJpeg(Quadrants(), true);
    ASSERT_GT(SegmentSof(progressif), 0);
    EXPECT_EQ(uchar(progressif[SegmentSof(progressif) - 1]), 0xC2);
    ASSERT_TRUE(DecodeurJpeg::Decoder(progressif, resultat));
    VerifierQuadrants(resultat.Image);
    ASSERT_TRUE(DecodeurJpeg::Decoder(progressif, resultat, Apercu));
    EXPECT_EQ(resultat.Image.size(), QSize(160, 120));
    VerifierQuadrants(resultat.Image);

    // Inverted inks 255,0,0,255 mean cyan-free, full magenta and yellow, no black: red.
    const unsigned char rouge[4] = {255, 0, 0, 255};
    ASSERT_TRUE(DecodeurJpeg::Decoder(JpegCmyk(64, rouge), resultat));
    EXPECT_EQ(resultat.Image.size(), QSize(64, 64));
    EXPECT_TRUE(CouleurProche(resultat.Image, 0.5, 0.5, QColor(255, 0, 0)));
    EXPECT_TRUE(RembourrageOpaque(resultat.Image));
    // Half black over no colour: mid grey.
    const unsigned char gris50[4] = {255, 255, 255, 128};
    ASSERT_TRUE(DecodeurJpeg::Decoder(JpegCmyk(64, gris50), resultat, QSize(16, 16)));
    EXPECT_EQ(resultat.Image.size(), QSize(16, 16));
    EXPECT_TRUE(CouleurProche(resultat.Image, 0.5, 0.5, QColor(128, 128, 128)));
    // Without the marker: plain inks, full magenta and yellow make red again.
    const unsigned char rougeDirect[4] = {0, 255, 255, 0};
    ASSERT_TRUE(DecodeurJpeg::Decoder(JpegCmyk(64, rougeDirect, false), resultat));
    EXPECT_TRUE(CouleurProche(resultat.Image, 0.5, 0.5, QColor(255, 0, 0)));
}

TEST(DecodeurJpeg, RefusesBrokenData)
{
    const QByteArray bon = EnJpeg(Quadrants());
    DecodeurJpeg::Resultat resultat;
    ASSERT_TRUE(DecodeurJpeg::Decoder(bon, resultat));

    struct Cas
    {
        const char* nom;
        QByteArray octets;
    };
    QByteArray dechets(4096, '\0');
    for (qsizetype i = 0; i < dechets.size(); ++i)
        dechets[i] = char((i * 7919 + 13) & 0xFF);
    const Cas cas[] = {
        {"empty", QByteArray()},
        {"garbage", dechets},
        {"start marker only", QByteArray("\xFF\xD8", 2)},
        {"cut in half", bon.left(bon.size() / 2)},
        {"cut in the header", bon.left(SegmentSof(bon) + 4)},
        {"cut just before the end marker", bon.left(bon.size() - 2)},
        {"progressive cut in half", EnJpeg(Quadrants(), true).left(EnJpeg(Quadrants(), true).size() / 2)},
        {"text", QByteArray("this is not a picture at all")},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        resultat = Sali();
        EXPECT_FALSE(DecodeurJpeg::Decoder(c.octets, resultat));
        EXPECT_TRUE(EstVide(resultat));
        resultat = Sali();
        EXPECT_FALSE(DecodeurJpeg::Decoder(c.octets, resultat, Apercu));
        EXPECT_TRUE(EstVide(resultat));
    }
}

TEST(DecodeurJpeg, RefusesPicturesClaimingHugeSizes)
{
    const QByteArray petit = EnJpeg(Quadrants(64, 48));
    DecodeurJpeg::Resultat resultat;
    ASSERT_TRUE(DecodeurJpeg::Decoder(petit, resultat));
    // The patch lands on the right bytes: a smaller claimed size is what gets decoded.
    ASSERT_TRUE(DecodeurJpeg::Decoder(AvecDimensions(petit, 48, 32), resultat));
    EXPECT_EQ(resultat.Image.size(), QSize(48, 32));

    struct Cas
    {
        int largeur;
        int hauteur;
    };
    const Cas cas[] = {{60000, 60000}, {65535, 16}, {16, 65535}, {20000, 12501}};
    for (const Cas& c : cas) {
        SCOPED_TRACE(testing::Message() << c.largeur << "x" << c.hauteur);
        const QByteArray enorme = AvecDimensions(petit, c.largeur, c.hauteur);
        ASSERT_FALSE(enorme.isEmpty());
        resultat = Sali();
        EXPECT_FALSE(DecodeurJpeg::Decoder(enorme, resultat));
        EXPECT_TRUE(EstVide(resultat));
        resultat = Sali();
        EXPECT_FALSE(DecodeurJpeg::Decoder(enorme, resultat, Apercu));
        EXPECT_TRUE(EstVide(resultat));
    }
}

TEST(DecodeurJpeg, AcceptsUpToTheLimitAndNotOnePixelMore)
{
    DecodeurJpeg::Resultat resultat;
    ASSERT_TRUE(DecodeurJpeg::Decoder(JpegGrisUni(64, 40), resultat));
    EXPECT_EQ(resultat.Image.size(), QSize(64, 40));
    EXPECT_TRUE(CouleurProche(resultat.Image, 0.5, 0.5, QColor(128, 128, 128)));

    // Exactly at the limit: a real picture, decoded at 1/8 for the preview.
    ASSERT_EQ(20000LL * 12500, DecodeurJpeg::PixelsMax);
    ASSERT_TRUE(DecodeurJpeg::Decoder(JpegGrisUni(20000, 12500), resultat, Apercu));
    EXPECT_EQ(resultat.LargeurOrigine, 20000);
    EXPECT_EQ(resultat.HauteurOrigine, 12500);
    EXPECT_EQ(resultat.Image.size(), QSize(2500, 1563));
    EXPECT_TRUE(CouleurProche(resultat.Image, 0.5, 0.5, QColor(128, 128, 128)));

    // One line more is refused, although the data is just as valid.
    resultat = Sali();
    EXPECT_FALSE(DecodeurJpeg::Decoder(JpegGrisUni(20000, 12501), resultat, Apercu));
    EXPECT_TRUE(EstVide(resultat));
    // Sides are limited on their own too.
    EXPECT_FALSE(DecodeurJpeg::Decoder(JpegGrisUni(65501, 8), resultat, Apercu));
    EXPECT_FALSE(DecodeurJpeg::Decoder(JpegGrisUni(8, 65501), resultat, Apercu));
    EXPECT_TRUE(DecodeurJpeg::Decoder(JpegGrisUni(65500, 8), resultat, Apercu));
}

TEST(DecodeurJpeg, ReadsFilesAndRefusesWhatIsNotOne)
{
    QTemporaryDir dossier;
    ASSERT_TRUE(dossier.isValid());
    DecodeurJpeg::Resultat resultat;

    const QString photo = dossier.filePath("photo.jpg");
    {
        QFile fichier(photo);
        ASSERT_TRUE(fichier.open(QIODevice::WriteOnly));
        fichier.write(EnJpeg(Quadrants()));
    }
    ASSERT_TRUE(DecodeurJpeg::DecoderFichier(photo, resultat, Apercu));
    EXPECT_EQ(resultat.LargeurOrigine, Largeur);
    EXPECT_EQ(resultat.Image.size(), QSize(160, 120));
    VerifierQuadrants(resultat.Image);

    ASSERT_TRUE(QDir(dossier.path()).mkdir("x.jpg"));
    resultat = Sali();
    EXPECT_FALSE(DecodeurJpeg::DecoderFichier(dossier.filePath("x.jpg"), resultat));
    EXPECT_TRUE(EstVide(resultat));

    resultat = Sali();
    EXPECT_FALSE(DecodeurJpeg::DecoderFichier(dossier.filePath("absent.jpg"), resultat));
    EXPECT_TRUE(EstVide(resultat));

    // A valid picture followed by a sparse hole: too large to be read at all.
    const QString geant = dossier.filePath("geant.jpg");
    {
        QFile fichier(geant);
        ASSERT_TRUE(fichier.open(QIODevice::WriteOnly));
        fichier.write(EnJpeg(Quadrants()));
        ASSERT_TRUE(fichier.resize(DecodeurJpeg::TailleFichierMax + 1));
    }
    resultat = Sali();
    EXPECT_FALSE(DecodeurJpeg::DecoderFichier(geant, resultat, Apercu));
    EXPECT_TRUE(EstVide(resultat));
}

TEST(DecodeurJpeg, RefusesAPhotoWhoseDataStopsBeforeItsEnd)
{
    // A whole small file, end marker included, whose header claims far more
    // than its data holds: libjpeg would grey out all but the first blocks.
    const QByteArray petit = EnJpeg(Quadrants(64, 64));
    DecodeurJpeg::Resultat resultat = Sali();
    EXPECT_FALSE(DecodeurJpeg::Decoder(AvecDimensions(petit, 15800, 15800), resultat, Apercu));
    EXPECT_TRUE(EstVide(resultat));
    resultat = Sali();
    EXPECT_FALSE(DecodeurJpeg::Decoder(AvecDimensions(petit, 640, 640), resultat));
    EXPECT_TRUE(EstVide(resultat));
    // The data of a progressive file cut short, its end marker put back.
    const QByteArray progressif = EnJpeg(Quadrants(), true);
    resultat = Sali();
    EXPECT_FALSE(DecodeurJpeg::Decoder(progressif.left(progressif.size() * 2 / 3) + "\xFF\xD9", resultat, Apercu));
    EXPECT_TRUE(EstVide(resultat));
}

TEST(DecodeurJpeg, RefusesAPictureThatWouldCostMoreWorkThanItsBudget)
{
    // Cheap scans repeated: each visits the 250 000 blocks once more.
    constexpr int Cote = 4000;
    const std::int64_t parBalayage = std::int64_t(Cote) * Cote;
    const int dansLeBudget = int(DecodeurJpeg::TravailMax / parBalayage) - 2;
    DecodeurJpeg::Resultat resultat;
    ASSERT_TRUE(
        DecodeurJpeg::Decoder(JpegsForges::BalayagesRepetes(Cote, Cote, dansLeBudget, false), resultat, Apercu));
    EXPECT_EQ(resultat.Image.size(), QSize(500, 500));
    resultat = Sali();
    EXPECT_FALSE(
        DecodeurJpeg::Decoder(JpegsForges::BalayagesRepetes(Cote, Cote, dansLeBudget + 4, false), resultat, Apercu));
    EXPECT_TRUE(EstVide(resultat));
}
