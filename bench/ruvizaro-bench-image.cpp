// Decodes a 24-megapixel JPEG at preview size, again and again, and tells how long it takes.
//   ruvizaro-bench-image [--json] [picture.jpg]
// Without a picture, a photo-like 6000 x 4000 one is generated in the temporary directory.

#include "media/DecodeurJpeg.h"

#include "PhotoSynthetique.h"

#include <QFileInfo>
#include <QGuiApplication>

#include <cstdio>

namespace {

const QSize Apercu(160, 160);

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    photo::Options options;
    if (!photo::LireOptions(application.arguments(), "ruvizaro-bench-6000x4000.jpg", 12345, options))
        return 1;

    DecodeurJpeg::Resultat resultat;
    photo::Durees durees;
    if (!photo::Chronometrer([&] { return DecodeurJpeg::DecoderFichier(options.Chemin, resultat, Apercu); }, durees)) {
        std::fprintf(stderr, "cannot decode %s\n", qPrintable(options.Chemin));
        return 1;
    }
    const double megapixels = double(resultat.LargeurOrigine) * resultat.HauteurOrigine / photo::MegaPixel;

    if (options.Json) {
        std::printf("{\"megapixels\":%.2f,\"median_ms\":%.2f,\"min_ms\":%.2f,\"max_ms\":%.2f}\n", megapixels,
                    durees.Mediane(), durees.Min(), durees.Max());
    } else {
        std::printf("%s: %d x %d (%.1f Mpx, %.1f MB), decoded at %d x %d for %d x %d, %d runs\n",
                    qPrintable(options.Chemin), resultat.LargeurOrigine, resultat.HauteurOrigine, megapixels,
                    double(QFileInfo(options.Chemin).size()) / photo::MegaOctet, resultat.Image.width(),
                    resultat.Image.height(), Apercu.width(), Apercu.height(), photo::Repetitions);
        std::printf("min %.2f ms, median %.2f ms, max %.2f ms\n", durees.Min(), durees.Mediane(), durees.Max());
    }
    return 0;
}
