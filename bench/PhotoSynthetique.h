#pragma once

// A photo-like 6000 x 4000 picture for the picture benchmarks: a sky-like
// gradient, soft blobs and sensor noise, so that it compresses like a real
// camera JPEG (about 7 MB at quality 90).

#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QRadialGradient>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace photo {

constexpr int LargeurPhoto = 6000;
constexpr int HauteurPhoto = 4000;
constexpr int QualitePhoto = 90;
constexpr int AmplitudeBruit = 12;
constexpr int NombreTaches = 40;

// Sky-like gradient, soft blobs and sensor noise: compresses like a real photo.
inline QImage PhotoSynthetique(std::uint32_t graine)
{
    QImage image(LargeurPhoto, HauteurPhoto, QImage::Format_RGB32);
    QPainter peintre(&image);
    QLinearGradient ciel(0, 0, 0, HauteurPhoto);
    ciel.setColorAt(0.0, QColor(70, 120, 200));
    ciel.setColorAt(0.55, QColor(200, 215, 230));
    ciel.setColorAt(0.6, QColor(90, 110, 60));
    ciel.setColorAt(1.0, QColor(40, 60, 30));
    peintre.fillRect(image.rect(), ciel);
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

// Writes the picture as a JPEG; false (with a message) when it cannot.
inline bool EcrirePhoto(const QString& chemin, std::uint32_t graine)
{
    QImageWriter writer(chemin, "JPG");
    writer.setQuality(QualitePhoto);
    if (writer.write(PhotoSynthetique(graine)))
        return true;
    std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(chemin), qPrintable(writer.errorString()));
    return false;
}

}  // namespace photo
