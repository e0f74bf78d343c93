#pragma once

// What the picture benchmarks share: a photo-like 6000 x 4000 picture (a
// sky-like gradient, soft blobs and sensor noise, so that it compresses like
// a real camera JPEG, about 7 MB at quality 90), their arguments, and the
// timing of repeated runs.

#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QRadialGradient>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace photo {

constexpr int LargeurPhoto = 6000;
constexpr int HauteurPhoto = 4000;
constexpr int QualitePhoto = 90;
constexpr int AmplitudeBruit = 12;
constexpr int NombreTaches = 40;
constexpr int Repetitions = 20;
constexpr double MegaPixel = 1e6;
constexpr double MegaOctet = 1024.0 * 1024.0;
constexpr double NanoParMilli = 1e6;

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

// The arguments of a picture benchmark: [--json] [picture].
struct Options
{
    bool Json = false;
    QString Chemin;
};

// Reads the arguments; without a picture, writes the generated one into the
// temporary directory under nomParDefaut. False when it cannot be written.
inline bool LireOptions(const QStringList& arguments, const QString& nomParDefaut, std::uint32_t graine,
                        Options& options)
{
    for (const QString& argument : arguments.mid(1)) {
        if (argument == "--json")
            options.Json = true;
        else
            options.Chemin = argument;
    }
    if (!options.Chemin.isEmpty())
        return true;
    options.Chemin = QDir::temp().filePath(nomParDefaut);
    return EcrirePhoto(options.Chemin, graine);
}

// Durations of Repetitions runs of essai, in milliseconds, sorted.
struct Durees
{
    std::vector<double> Triees;
    double Min() const { return Triees.front(); }
    double Max() const { return Triees.back(); }
    double Mediane() const { return (Triees[(Triees.size() - 1) / 2] + Triees[Triees.size() / 2]) / 2; }
};

// Times essai (which returns false on failure) Repetitions times; false as
// soon as one run fails.
template <typename Essai>
bool Chronometrer(Essai essai, Durees& durees)
{
    for (int i = 0; i < Repetitions; ++i) {
        QElapsedTimer chrono;
        chrono.start();
        if (!essai())
            return false;
        durees.Triees.push_back(double(chrono.nsecsElapsed()) / NanoParMilli);
    }
    std::sort(durees.Triees.begin(), durees.Triees.end());
    return true;
}

} // namespace photo
