#include "media/ChargeurImage.h"

#include "scan/Descripteur.h"
#include "scan/Explorateur.h"
#include "media/DecodeurJpeg.h"

#include <QByteArray>
#include <QFile>
#include <QImageReader>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>

namespace {

constexpr std::array<unsigned char, 3> SignatureJpeg = {0xFF, 0xD8, 0xFF};
// Formats Qt may decode for us; its other readers (and its own JPEG
// reader, which pads damaged files with grey) are not used.
const std::array<QByteArray, 5> FormatsQt = {"bmp", "ico", "cur", "png", "gif"};

bool TailleAcceptable(QSize taille)
{
    return taille.width() > 0 && taille.height() > 0 && taille.width() <= ChargeurImage::CoteMax
           && taille.height() <= ChargeurImage::CoteMax
           && std::int64_t(taille.width()) * taille.height() <= ChargeurImage::PixelsMax;
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

// The whole file, or an empty array when it cannot be read.
QByteArray LireTout(int fd, std::int64_t taille)
{
    QByteArray donnees(qsizetype(taille), Qt::Uninitialized);
    qsizetype lus = 0;
    while (lus < donnees.size()) {
        const ssize_t n = ::read(fd, donnees.data() + lus, size_t(donnees.size() - lus));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;   // shrunk meanwhile: the decoder refuses what is missing
        lus += n;
    }
    donnees.truncate(lus);
    return donnees;
}

bool ChargerJpeg(int fd, std::int64_t taille, QSize cadre, ChargeurImage::Resultat& resultat)
{
    if (taille > ChargeurImage::TailleFichierMax)
        return false;
    const QByteArray donnees = LireTout(fd, taille);
    DecodeurJpeg::Resultat decode;
    if (!DecodeurJpeg::Decoder(donnees, decode, cadre))
        return false;
    resultat.Image = std::move(decode.Image);
    resultat.LargeurOrigine = decode.LargeurOrigine;
    resultat.HauteurOrigine = decode.HauteurOrigine;
    return true;
}

bool ChargerQt(int fd, QSize cadre, ChargeurImage::Resultat& resultat)
{
    QImageReader::setAllocationLimit(ChargeurImage::AllocationMaxMo);
    QFile fichier;
    if (!fichier.open(fd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
        return false;
    QImageReader lecteur(&fichier);
    lecteur.setDecideFormatFromContent(true);
    if (std::find(FormatsQt.begin(), FormatsQt.end(), lecteur.format()) == FormatsQt.end())
        return false;

    const QSize origine = lecteur.size();
    if (origine.isValid()) {
        if (!TailleAcceptable(origine))
            return false;
        // PNG decodes line by line into the reduced picture.
        if (lecteur.supportsOption(QImageIOHandler::ScaledSize)
            && (origine.width() > cadre.width() || origine.height() > cadre.height()))
            lecteur.setScaledSize(origine.scaled(cadre, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
    }
    QImage image;
    if (!lecteur.read(&image) || image.isNull())
        return false;
    const QSize taille = origine.isValid() ? origine : image.size();
    if (!TailleAcceptable(taille))
        return false;
    resultat.Image = std::move(image);
    resultat.LargeurOrigine = taille.width();
    resultat.HauteurOrigine = taille.height();
    return true;
}

}  // namespace

bool ChargeurImage::Charger(const std::string& chemin, Resultat& resultat, QSize cadre)
{
    resultat = {};
    if (chemin.empty() || cadre.isEmpty())
        return false;
    // Non-blocking so that a FIFO named like a picture cannot hold the window.
    const Descripteur fd(Explorateur::OuvrirChemin(chemin, O_RDONLY | O_NONBLOCK | O_NOCTTY));
    if (!fd.Valide())
        return false;
    struct stat etat;
    if (fstat(fd.Fd(), &etat) != 0 || !S_ISREG(etat.st_mode) || etat.st_size <= 0)
        return false;

    Resultat charge;
    const bool reussi = EstJpeg(fd.Fd()) ? ChargerJpeg(fd.Fd(), std::int64_t(etat.st_size), cadre, charge)
                                         : ChargerQt(fd.Fd(), cadre, charge);
    if (!reussi || charge.Image.isNull())
        return false;
    if (charge.Image.width() > cadre.width() || charge.Image.height() > cadre.height())
        charge.Image = charge.Image.scaled(cadre, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    resultat = std::move(charge);
    return true;
}
