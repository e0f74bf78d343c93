#include "media/OrientationExif.h"

#include <QTransform>

#include <cstdint>
#include <cstring>

namespace OrientationExif {

namespace {

constexpr unsigned char Marqueur = 0xFF;
constexpr unsigned char App1 = 0xE1;
constexpr unsigned char DebutBalayage = 0xDA;
constexpr unsigned char FinImage = 0xD9;
constexpr std::uint16_t EtiquetteOrientation = 0x0112;
constexpr std::uint16_t TypeCourt = 3;
constexpr int TailleEntree = 12;
const char EnteteExif[6] = {'E', 'x', 'i', 'f', 0, 0};

// A TIFF block in either byte order, every read bounds-checked.
class Tiff
{
public:
    Tiff(const unsigned char* octets, std::size_t taille) : o_(octets), n_(taille) {}

    bool Entete()
    {
        if (n_ < 8)
            return false;
        if (o_[0] == 'I' && o_[1] == 'I')
            petit_ = true;
        else if (o_[0] != 'M' || o_[1] != 'M')
            return false;
        std::uint16_t magique = 0;
        return Mot(2, magique) && magique == 42;
    }
    bool Mot(std::size_t position, std::uint16_t& valeur) const
    {
        if (position + 2 > n_)
            return false;
        valeur = petit_ ? std::uint16_t(o_[position] | o_[position + 1] << 8)
                        : std::uint16_t(o_[position] << 8 | o_[position + 1]);
        return true;
    }
    bool Long(std::size_t position, std::uint32_t& valeur) const
    {
        std::uint16_t a = 0, b = 0;
        if (!Mot(position, a) || !Mot(position + 2, b))
            return false;
        valeur = petit_ ? std::uint32_t(b) << 16 | a : std::uint32_t(a) << 16 | b;
        return true;
    }

private:
    const unsigned char* o_;
    std::size_t n_;
    bool petit_ = false;
};

// The orientation in the first directory of an Exif APP1 body; 0 when absent.
int DansExif(const unsigned char* corps, std::size_t taille)
{
    if (taille < sizeof EnteteExif || std::memcmp(corps, EnteteExif, sizeof EnteteExif) != 0)
        return 0;
    Tiff tiff(corps + sizeof EnteteExif, taille - sizeof EnteteExif);
    std::uint32_t repertoire = 0;
    std::uint16_t nombre = 0;
    if (!tiff.Entete() || !tiff.Long(4, repertoire) || !tiff.Mot(repertoire, nombre))
        return 0;
    for (std::uint32_t i = 0; i < nombre; ++i) {
        const std::size_t entree = std::size_t(repertoire) + 2 + std::size_t(i) * TailleEntree;
        std::uint16_t etiquette = 0, type = 0, valeur = 0;
        if (!tiff.Mot(entree, etiquette))
            return 0;
        if (etiquette != EtiquetteOrientation)
            continue;
        if (!tiff.Mot(entree + 2, type) || type != TypeCourt || !tiff.Mot(entree + 8, valeur))
            return 0;
        return valeur >= 1 && valeur <= 8 ? valeur : 0;
    }
    return 0;
}

QImage Tourner(const QImage& image, qreal degres)
{
    return image.transformed(QTransform().rotate(degres));
}

} // namespace

int Lire(const QByteArray& jpeg)
{
    const auto* o = reinterpret_cast<const unsigned char*>(jpeg.constData());
    const std::size_t n = std::size_t(jpeg.size());
    if (n < 4 || o[0] != Marqueur || o[1] != 0xD8)
        return Normale;
    // Walk the segments up to the start of the picture data.
    std::size_t i = 2;
    while (i + 4 <= n) {
        if (o[i] != Marqueur)
            return Normale;
        const unsigned char type = o[i + 1];
        if (type == Marqueur) { // fill byte
            ++i;
            continue;
        }
        if (type == DebutBalayage || type == FinImage)
            return Normale;
        const std::size_t longueur = std::size_t(o[i + 2]) << 8 | o[i + 3];
        if (longueur < 2 || i + 2 + longueur > n)
            return Normale;
        if (type == App1)
            if (const int orientation = DansExif(o + i + 4, longueur - 2))
                return orientation;
        i += 2 + longueur;
    }
    return Normale;
}

bool Transpose(int orientation)
{
    return orientation >= 5 && orientation <= 8;
}

QImage Appliquer(const QImage& image, int orientation)
{
    // Mirror first, then turn a quarter clockwise, as the tag's table reads.
    switch (orientation) {
    case 2:
        return image.mirrored(true, false);
    case 3:
        return image.mirrored(true, true);
    case 4:
        return image.mirrored(false, true);
    case 5:
        return Tourner(image.mirrored(false, true), 90);
    case 6:
        return Tourner(image, 90);
    case 7:
        return Tourner(image.mirrored(true, false), 90);
    case 8:
        return Tourner(image, 270);
    default:
        return image;
    }
}

} // namespace OrientationExif
