// Decodes a 24-megapixel JPEG at preview size, again and again, and tells how long it takes.
//   ruvizaro-bench-image [--json] [picture.jpg]
// Without a picture, a photo-like 6000 x 4000 one is generated in the temporary directory.

#include "ui/DecodeurJpeg.h"

#include "PhotoSynthetique.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int Repetitions = 20;
const QSize Apercu(160, 160);
constexpr double MegaPixel = 1e6;
constexpr double NanoParMilli = 1e6;
constexpr double MegaOctet = 1024.0 * 1024.0;

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    bool json = false;
    QString chemin;
    for (const QString& argument : application.arguments().mid(1)) {
        if (argument == "--json")
            json = true;
        else
            chemin = argument;
    }

    if (chemin.isEmpty()) {
        chemin = QDir::temp().filePath("ruvizaro-bench-6000x4000.jpg");
        if (!photo::EcrirePhoto(chemin, 12345))
            return 1;
    }

    std::vector<double> durees;
    DecodeurJpeg::Resultat resultat;
    for (int i = 0; i < Repetitions; ++i) {
        QElapsedTimer chrono;
        chrono.start();
        if (!DecodeurJpeg::DecoderFichier(chemin, resultat, Apercu)) {
            std::fprintf(stderr, "cannot decode %s\n", qPrintable(chemin));
            return 1;
        }
        durees.push_back(double(chrono.nsecsElapsed()) / NanoParMilli);
    }
    std::sort(durees.begin(), durees.end());
    const double mediane = (durees[(Repetitions - 1) / 2] + durees[Repetitions / 2]) / 2;
    const double megapixels = double(resultat.LargeurOrigine) * resultat.HauteurOrigine / MegaPixel;

    if (json) {
        std::printf("{\"megapixels\":%.2f,\"median_ms\":%.2f,\"min_ms\":%.2f,\"max_ms\":%.2f}\n", megapixels,
                    mediane, durees.front(), durees.back());
    } else {
        std::printf("%s: %d x %d (%.1f Mpx, %.1f MB), decoded at %d x %d for %d x %d, %d runs\n",
                    qPrintable(chemin), resultat.LargeurOrigine, resultat.HauteurOrigine, megapixels,
                    double(QFileInfo(chemin).size()) / MegaOctet, resultat.Image.width(), resultat.Image.height(),
                    Apercu.width(), Apercu.height(), Repetitions);
        std::printf("min %.2f ms, median %.2f ms, max %.2f ms\n", durees.front(), mediane, durees.back());
    }
    return 0;
}
