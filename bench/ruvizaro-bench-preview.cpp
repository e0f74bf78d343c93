// Previews a 24-megapixel JPEG the way the image panel does (load for the
// 160 x 160 frame, then the pixmap), again and again, and tells how long it takes.
//   ruvizaro-bench-preview [--json] [picture]
// Without a picture, a photo-like 6000 x 4000 one is generated in the temporary
// directory. Exits with 1 when the median is over the target.

#include "preview/ChargeurImage.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPixmap>
#include <QRadialGradient>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int LargeurPhoto = 6000;
constexpr int HauteurPhoto = 4000;
constexpr int QualitePhoto = 90;
constexpr int Repetitions = 20;
constexpr double CibleMillisecondes = 100.0;
constexpr int AmplitudeBruit = 12;
constexpr int NombreTaches = 40;
constexpr double MegaPixel = 1e6;
constexpr double NanoParMilli = 1e6;
constexpr double MegaOctet = 1024.0 * 1024.0;

// Sky-like gradient, soft blobs and sensor noise: compresses like a real photo.
QImage PhotoSynthetique()
{
    QImage image(LargeurPhoto, HauteurPhoto, QImage::Format_RGB32);
    QPainter peintre(&image);
    QLinearGradient ciel(0, 0, 0, HauteurPhoto);
    ciel.setColorAt(0.0, QColor(70, 120, 200));
    ciel.setColorAt(0.55, QColor(200, 215, 230));
    ciel.setColorAt(0.6, QColor(90, 110, 60));
    ciel.setColorAt(1.0, QColor(40, 60, 30));
    peintre.fillRect(image.rect(), ciel);
    std::uint32_t graine = 2024;
    const auto aleatoire = [&graine] {
        graine = graine * 1664525u + 1013904223u;
        return graine >> 8;
    };
    peintre.setPen(Qt::NoPen);
    for (int i = 0; i < NombreTaches; ++i) {
        const QPointF centre(aleatoire() % LargeurPhoto, aleatoire() % HauteurPhoto);
        const double rayon = 100 + aleatoire() % 900;
        QRadialGradient tache(centre, rayon);
        tache.setColorAt(0, QColor::fromHsv(int(aleatoire() % 360), 120, 200, 180));
        tache.setColorAt(1, QColor(0, 0, 0, 0));
        peintre.setBrush(tache);
        peintre.drawEllipse(centre, rayon, rayon);
    }
    peintre.end();
    for (int y = 0; y < HauteurPhoto; ++y) {
        auto* ligne = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < LargeurPhoto; ++x) {
            const int bruit = int(aleatoire() % (2 * AmplitudeBruit + 1)) - AmplitudeBruit;
            const QRgb p = ligne[x];
            ligne[x] = qRgb(std::clamp(qRed(p) + bruit, 0, 255), std::clamp(qGreen(p) + bruit, 0, 255),
                            std::clamp(qBlue(p) + bruit, 0, 255));
        }
    }
    return image;
}

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
        QImageWriter writer(chemin, "JPG");
        writer.setQuality(QualitePhoto);
        if (!writer.write(PhotoSynthetique())) {
            std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(chemin), qPrintable(writer.errorString()));
            return 1;
        }
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
