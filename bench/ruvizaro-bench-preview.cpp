// Previews a 24-megapixel JPEG the way the image panel does (load for the
// 160 x 160 frame, then the pixmap), again and again, and tells how long it takes.
//   ruvizaro-bench-preview [--json] [picture]
// Without a picture, a photo-like 6000 x 4000 one is generated in the temporary
// directory. Exits with 1 when the median is over the target.

#include "media/ChargeurImage.h"

#include "PhotoSynthetique.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPixmap>

#include <cstdio>
#include <string>

namespace {

constexpr double CibleMillisecondes = 100.0;

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    photo::Options options;
    if (!photo::LireOptions(application.arguments(), "ruvizaro-bench-preview-6000x4000.jpg", 2024, options))
        return 1;
    const std::string octets = QFile::encodeName(options.Chemin).toStdString();

    ChargeurImage::Resultat resultat;
    QPixmap affichee;
    photo::Durees durees;
    const bool charge = photo::Chronometrer(
        [&] {
            if (!ChargeurImage::Charger(octets, resultat))
                return false;
            affichee = QPixmap::fromImage(resultat.Image);
            return true;
        },
        durees);
    if (!charge) {
        std::fprintf(stderr, "cannot load %s\n", qPrintable(options.Chemin));
        return 1;
    }
    const double mediane = durees.Mediane();
    const double megapixels = double(resultat.LargeurOrigine) * resultat.HauteurOrigine / photo::MegaPixel;

    if (options.Json) {
        std::printf("{\"megapixels\":%.2f,\"median_ms\":%.2f,\"min_ms\":%.2f,\"max_ms\":%.2f,\"target_ms\":%.0f}\n",
                    megapixels, mediane, durees.Min(), durees.Max(), CibleMillisecondes);
    } else {
        std::printf("%s: %d x %d (%.1f Mpx, %.1f MB), shown at %d x %d, %d runs\n", qPrintable(options.Chemin),
                    resultat.LargeurOrigine, resultat.HauteurOrigine, megapixels,
                    double(QFileInfo(options.Chemin).size()) / photo::MegaOctet, affichee.width(), affichee.height(),
                    photo::Repetitions);
        std::printf("min %.2f ms, median %.2f ms, max %.2f ms (target under %.0f ms)\n", durees.Min(), mediane,
                    durees.Max(), CibleMillisecondes);
    }
    return mediane < CibleMillisecondes ? 0 : 1;
}
