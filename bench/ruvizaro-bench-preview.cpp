// Previews a 24-megapixel JPEG the way the image panel does (load for the
// 160 x 160 frame, then the pixmap), again and again, and tells how long it takes.
//   ruvizaro-bench-preview [--json] [picture]
// Without a picture, a photo-like 6000 x 4000 one is generated in the temporary
// directory. Exits with 1 when the median is over the target.

#include "preview/ChargeurImage.h"

#include "PhotoSynthetique.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int Repetitions = 20;
constexpr double CibleMillisecondes = 100.0;
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
        chemin = QDir::temp().filePath("ruvizaro-bench-preview-6000x4000.jpg");
        if (!photo::EcrirePhoto(chemin, 2024))
            return 1;
    }
    const std::string octets = QFile::encodeName(chemin).toStdString();

    std::vector<double> durees;
    ChargeurImage::Resultat resultat;
    QPixmap affichee;
    for (int i = 0; i < Repetitions; ++i) {
        QElapsedTimer chrono;
        chrono.start();
        if (!ChargeurImage::Charger(octets, resultat)) {
            std::fprintf(stderr, "cannot load %s\n", qPrintable(chemin));
            return 1;
        }
        affichee = QPixmap::fromImage(resultat.Image);
        durees.push_back(double(chrono.nsecsElapsed()) / NanoParMilli);
    }
    std::sort(durees.begin(), durees.end());
    const double mediane = (durees[(Repetitions - 1) / 2] + durees[Repetitions / 2]) / 2;
    const double megapixels = double(resultat.LargeurOrigine) * resultat.HauteurOrigine / MegaPixel;

    if (json) {
        std::printf("{\"megapixels\":%.2f,\"median_ms\":%.2f,\"min_ms\":%.2f,\"max_ms\":%.2f,\"target_ms\":%.0f}\n",
                    megapixels, mediane, durees.front(), durees.back(), CibleMillisecondes);
    } else {
        std::printf("%s: %d x %d (%.1f Mpx, %.1f MB), shown at %d x %d, %d runs\n", qPrintable(chemin),
                    resultat.LargeurOrigine, resultat.HauteurOrigine, megapixels,
                    double(QFileInfo(chemin).size()) / MegaOctet, affichee.width(), affichee.height(), Repetitions);
        std::printf("min %.2f ms, median %.2f ms, max %.2f ms (target under %.0f ms)\n", durees.front(), mediane,
                    durees.back(), CibleMillisecondes);
    }
    return mediane < CibleMillisecondes ? 0 : 1;
}
