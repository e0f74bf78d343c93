#include "media/ChargeurImage.h"

#include "media/FichierMedia.h"
#include "scan/Descripteur.h"
#include "scan/Explorateur.h"
#include "media/DecodeurJpeg.h"
#include "media/OrientationExif.h"

#include <QByteArray>
#include <QFile>
#include <QImageReader>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <utility>

namespace {

constexpr std::array<unsigned char, 3> SignatureJpeg = {0xFF, 0xD8, 0xFF};
// Formats Qt may decode for us; its other readers (and its own JPEG
// reader, which pads damaged files with grey) are not used.
const std::array<QByteArray, 5> FormatsQt = {"bmp", "ico", "cur", "png", "gif"};

// Qt's readers take any side; what they cost is their pixels.
bool TailleAcceptable(QSize taille)
{
    return taille.width() > 0 && taille.height() > 0 &&
           std::int64_t(taille.width()) * taille.height() <= ChargeurImage::PixelsMax;
}

// A picture larger than the frame, fitted into it; a thread of a picture
// keeps one pixel rather than none.
QSize Ajustee(QSize origine, QSize cadre)
{
    return origine.scaled(cadre, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

bool EstJpeg(int fd)
{
    std::array<unsigned char, SignatureJpeg.size()> debut{};
    ssize_t lus;
    do
        lus = ::pread(fd, debut.data(), debut.size(), 0);
    while (lus < 0 && errno == EINTR);
    return lus == ssize_t(debut.size()) && debut == SignatureJpeg;
}

// Bytes read at once, so that a stop request is seen between two reads.
constexpr size_t TailleLot = 1024 * 1024;

// The whole file, or an empty array when it cannot be read or arret is
// asked to stop meanwhile.
QByteArray LireTout(int fd, std::int64_t taille, const std::stop_token& arret)
{
    QByteArray donnees(qsizetype(taille), Qt::Uninitialized);
    qsizetype lus = 0;
    while (lus < donnees.size()) {
        if (arret.stop_requested())
            return {};
        const size_t demande = std::min(TailleLot, size_t(donnees.size() - lus));
        const ssize_t n = ::read(fd, donnees.data() + lus, demande);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break; // shrunk meanwhile: the decoder refuses what is missing
        lus += n;
    }
    donnees.truncate(lus);
    return donnees;
}

bool ChargerJpeg(int fd, std::int64_t taille, QSize cadre, const std::stop_token& arret,
                 ChargeurImage::Resultat& resultat)
{
    if (taille > ChargeurImage::TailleFichierMax)
        return false;
    const QByteArray donnees = LireTout(fd, taille, arret);
    if (donnees.isEmpty())
        return false;
    // A picture the camera stored on its side is decoded for the frame it
    // will fill once turned upright; its stored size stays its size.
    const int orientation = OrientationExif::Lire(donnees);
    if (OrientationExif::Transpose(orientation))
        cadre.transpose();
    DecodeurJpeg::Resultat decode;
    if (!DecodeurJpeg::Decoder(donnees, decode, cadre, arret))
        return false;
    resultat.Image = OrientationExif::Appliquer(decode.Image, orientation);
    resultat.LargeurOrigine = decode.LargeurOrigine;
    resultat.HauteurOrigine = decode.HauteurOrigine;
    return true;
}

// A file whose reads fail once arret is asked to stop: Qt's readers then
// give up at their next read instead of decoding the rest.
class FichierInterruptible : public QFile
{
public:
    explicit FichierInterruptible(std::stop_token arret) : arret_(std::move(arret)) {}

protected:
    qint64 readData(char* donnees, qint64 taille) override
    {
        return arret_.stop_requested() ? -1 : QFile::readData(donnees, taille);
    }

private:
    std::stop_token arret_;
};

// Qt's cap is one value for the whole process: set it once, not at every
// load from whichever thread.
void LimiterAllocationQt()
{
    static const bool limitee = [] {
        QImageReader::setAllocationLimit(ChargeurImage::AllocationMaxMo);
        return true;
    }();
    (void)limitee;
}

// The size to read a picture of `origine` at: fitted into the frame when it
// is larger, so that a reader that scales as it decodes (PNG) never holds
// the whole picture; its own size otherwise.
QSize TailleLecture(QSize origine, QSize cadre)
{
    if (origine.width() <= cadre.width() && origine.height() <= cadre.height())
        return origine;
    return Ajustee(origine, cadre);
}

bool ChargerQt(int fd, QSize cadre, const std::stop_token& arret, ChargeurImage::Resultat& resultat)
{
    LimiterAllocationQt();
    FichierInterruptible fichier(arret);
    if (!fichier.open(fd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
        return false;
    QImageReader lecteur(&fichier);
    lecteur.setDecideFormatFromContent(true);
    lecteur.setAutoTransform(true);
    if (std::find(FormatsQt.begin(), FormatsQt.end(), lecteur.format()) == FormatsQt.end())
        return false;

    // The original size comes from the header; when a reader cannot tell it
    // before decoding, from the decoded picture.
    const QSize origine = lecteur.size();
    if (origine.isValid()) {
        if (!TailleAcceptable(origine))
            return false;
        const QSize lecture = TailleLecture(origine, cadre);
        // Readers that cannot scale (BMP, GIF, ICO) decode whole within the
        // allocation cap; the result is reduced afterwards.
        if (lecture != origine && lecteur.supportsOption(QImageIOHandler::ScaledSize))
            lecteur.setScaledSize(lecture);
    }
    QImage image;
    if (!lecteur.read(&image) || image.isNull() || arret.stop_requested())
        return false;
    const QSize taille = origine.isValid() ? origine : image.size();
    if (!TailleAcceptable(taille))
        return false;
    resultat.Image = std::move(image);
    resultat.LargeurOrigine = taille.width();
    resultat.HauteurOrigine = taille.height();
    return true;
}

} // namespace

bool ChargeurImage::Charger(const std::string& chemin, Resultat& resultat, QSize cadre)
{
    return Charger(chemin, resultat, cadre, std::stop_token{});
}

bool ChargeurImage::Charger(const std::string& chemin, Resultat& resultat, QSize cadre, std::stop_token arret)
{
    resultat = {};
    if (chemin.empty() || cadre.isEmpty())
        return false;
    // Non-blocking so that a FIFO named like a picture cannot hold the window.
    const Descripteur fd(Explorateur::OuvrirChemin(chemin, O_RDONLY | O_NONBLOCK | O_NOCTTY));
    if (!fd.Valide()) {
        resultat.Echec = FichierMedia::EchecSysteme(errno).Message;
        return false;
    }
    struct stat etat;
    if (fstat(fd.Fd(), &etat) != 0 || !S_ISREG(etat.st_mode) || etat.st_size <= 0)
        return false;

    Resultat charge;
    const bool reussi = EstJpeg(fd.Fd()) ? ChargerJpeg(fd.Fd(), std::int64_t(etat.st_size), cadre, arret, charge)
                                         : ChargerQt(fd.Fd(), cadre, arret, charge);
    if (!reussi || charge.Image.isNull() || arret.stop_requested())
        return false;
    if (charge.Image.width() > cadre.width() || charge.Image.height() > cadre.height())
        charge.Image =
            charge.Image.scaled(Ajustee(charge.Image.size(), cadre), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    resultat = std::move(charge);
    return true;
}
