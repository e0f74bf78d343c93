// The picture loader on any bytes, at the preview's frame size: JPEG
// through libjpeg in memory and from a file, the Qt formats from a file. A
// picture that loads fits in the frame and has an original size; one that
// does not leaves nothing behind.

#include "media/ChargeurImage.h"
#include "media/DecodeurJpeg.h"

#include <QByteArray>
#include <QGuiApplication>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace {

std::string Fichier;

[[noreturn]] void Echec(const char* quoi)
{
    std::fprintf(stderr, "picture loader property broken: %s\n", quoi);
    std::abort();
}

void Verifier(bool reussi, const QImage& image, int largeur, int hauteur, QSize cadre)
{
    if (!reussi) {
        if (!image.isNull() || largeur != 0 || hauteur != 0)
            Echec("a refused picture left a result");
        return;
    }
    if (image.isNull() || largeur <= 0 || hauteur <= 0)
        Echec("a loaded picture without its picture or its size");
    if (std::int64_t(largeur) * hauteur > ChargeurImage::PixelsMax)
        Echec("a picture over the size limits was loaded");
    if (cadre.isValid() && (image.width() > cadre.width() || image.height() > cadre.height()))
        Echec("a loaded picture larger than the frame");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QGuiApplication application(*argc, *argv);
    const char* base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : std::getenv("TMPDIR");
    Fichier = std::string(base ? base : "/tmp") + "/ruvizaro-fuzz-image-" + std::to_string(getpid());
    std::atexit([] { ::unlink(Fichier.c_str()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille)
{
    const QByteArray octets(reinterpret_cast<const char*>(donnees), qsizetype(taille));
    const QSize cadre(ChargeurImage::Cote, ChargeurImage::Cote);

    DecodeurJpeg::Resultat jpeg;
    const bool jpegLu = DecodeurJpeg::Decoder(octets, jpeg, cadre);
    Verifier(jpegLu, jpeg.Image, jpeg.LargeurOrigine, jpeg.HauteurOrigine, QSize());

    const int fd = ::open(Fichier.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0 || ::write(fd, donnees, taille) != ssize_t(taille) || ::close(fd) != 0)
        Echec("cannot write the scratch file");
    ChargeurImage::Resultat image;
    const bool charge = ChargeurImage::Charger(Fichier, image, cadre);
    Verifier(charge, image.Image, image.LargeurOrigine, image.HauteurOrigine, cadre);
    return 0;
}
