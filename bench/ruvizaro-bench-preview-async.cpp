// Previews a 24-megapixel JPEG and a 4000 x 3000 PNG in turn the way the
// image panel does, while a 1 ms timer ticks on the window's thread, and
// tells how long that thread was held at most and how long a picture took
// to come. Once loading on the window's thread as before, for comparison,
// once through the background loader, also with quick bursts of selections.
//   ruvizaro-bench-preview-async [--json] [--runs N]
// Both pictures are generated (photo-like) in the temporary directory.
// Exits with 1 when the background loader holds the thread over 16 ms.

#include "preview/PanneauImage.h"
#include "widgets/Etiquette.h"
#include "widgets/ImageComposant.h"
#include "widgets/TFormImage.h"
#include "media/ChargeurImage.h"

#include "PhotoSynthetique.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImageWriter>
#include <QLabel>
#include <QPixmap>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr double CibleBlocageMs = 16.0;
constexpr int LargeurPng = 4000;
constexpr int HauteurPng = 3000;
constexpr int CompressionPng = 50; // Qt's default
constexpr int Graine = 2024;
constexpr int RepetitionsParDefaut = 20;
constexpr int PauseMs = 50; // between two selections
constexpr int IntervalleBattementMs = 1;
// Quick selections, as when the arrow key is held down: only the last one's
// picture is wanted.
constexpr int Rafales = 5;
constexpr int SelectionsParRafale = 6;
constexpr int EcartRafaleMs = 5;
const QSize Cadre(ChargeurImage::Cote, ChargeurImage::Cote);

// Longest gap between two ticks of a 1 ms precise timer, less the 1 ms.
class Battement
{
public:
    Battement()
    {
        minuterie_.setTimerType(Qt::PreciseTimer);
        minuterie_.setInterval(IntervalleBattementMs);
        QObject::connect(&minuterie_, &QTimer::timeout, [this] {
            const qint64 maintenant = chrono_.nsecsElapsed();
            if (dernier_ >= 0)
                plusLong_ = std::max(plusLong_, maintenant - dernier_);
            dernier_ = maintenant;
        });
    }
    void Demarrer()
    {
        plusLong_ = 0;
        dernier_ = -1;
        chrono_.start();
        minuterie_.start();
    }
    double Arreter()
    {
        minuterie_.stop();
        return std::max(0.0, double(plusLong_) / photo::NanoParMilli - IntervalleBattementMs);
    }

private:
    QTimer minuterie_;
    QElapsedTimer chrono_;
    qint64 dernier_ = -1;
    qint64 plusLong_ = 0;
};

struct Mesure
{
    double BlocageMaxMs = 0;
    std::vector<double> Latences[2];    // JPEG, PNG
    std::vector<double> LatencesRafale; // from the last quick selection to its picture
    bool Reussi = true;
};

double Mediane(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : (v[(v.size() - 1) / 2] + v[v.size() / 2]) / 2;
}

std::vector<double> Toutes(const Mesure& m)
{
    std::vector<double> toutes = m.Latences[0];
    toutes.insert(toutes.end(), m.Latences[1].begin(), m.Latences[1].end());
    return toutes;
}

// Runs the event loop for ms milliseconds.
void Patienter(int ms)
{
    QEventLoop boucle;
    QTimer::singleShot(ms, &boucle, &QEventLoop::quit);
    boucle.exec();
}

// What the panel does with a loaded picture.
void Afficher(QLabel& etiquette, const QImage& image)
{
    etiquette.setPixmap(QPixmap::fromImage(image));
    etiquette.repaint();
}

// The program's own Image panel, with its own components, in a window of its own.
struct Fenetre
{
    TFormImage Skin;
    QWidget Principal;
    PanneauImage Panneau{&Principal, Skin};
    ImageComposant* Previsu = Principal.findChild<ImageComposant*>("ImgImagePrevisu");
    Etiquette* Dimension = Principal.findChild<Etiquette*>("LabelImageDimension");

    Fenetre()
    {
        Principal.resize(586, 451);
        Panneau.Montrer(true);
        Principal.show();
    }
};

// Runs the event loop until the panel shows the last picture asked for.
void AttendreImage(const PanneauImage& panneau)
{
    QEventLoop boucle;
    QTimer sonde;
    QObject::connect(&sonde, &QTimer::timeout, [&] {
        if (!panneau.ChargementEnCours())
            boucle.quit();
    });
    sonde.start(0);
    boucle.exec();
}

// A selection as the preview hands it to the panel.
FichierApercu Selection(const std::string& chemin)
{
    FichierApercu fichier;
    fichier.Chemin = chemin;
    fichier.Existe = true;
    fichier.Nom = QString::fromStdString(chemin.substr(chemin.rfind('/') + 1));
    fichier.Ext = QString::fromStdString(chemin.substr(chemin.rfind('.') + 1));
    fichier.Taille = "1 Ko";
    return fichier;
}

// Selects the pictures in turn, waiting for each; then in quick bursts,
// waiting only for the last of each burst. Everything the window's thread
// does goes through the panel: labels, the request, showing the answer.
Mesure MesurerPanneau(const std::string fichiers[2], int repetitions, Fenetre& fenetre)
{
    Mesure mesure;
    QElapsedTimer chrono;
    Battement battement;
    battement.Demarrer();
    for (int i = 0; i < repetitions; ++i) {
        chrono.start();
        fenetre.Panneau.Afficher(Selection(fichiers[i % 2]));
        AttendreImage(fenetre.Panneau);
        mesure.Latences[i % 2].push_back(double(chrono.nsecsElapsed()) / photo::NanoParMilli);
        mesure.Reussi = mesure.Reussi && !fenetre.Previsu->Image().isNull() &&
                        fenetre.Dimension->text() != PanneauImage::PrefixeDimension;
        Patienter(PauseMs);
    }
    for (int r = 0; r < Rafales; ++r) {
        for (int i = 0; i < SelectionsParRafale; ++i) {
            if (i > 0)
                Patienter(EcartRafaleMs);
            chrono.start();
            // Ends on the PNG, the slower of the two.
            fenetre.Panneau.Afficher(Selection(fichiers[(SelectionsParRafale - i) % 2]));
        }
        AttendreImage(fenetre.Panneau);
        mesure.LatencesRafale.push_back(double(chrono.nsecsElapsed()) / photo::NanoParMilli);
        Patienter(PauseMs);
    }
    mesure.BlocageMaxMs = battement.Arreter();
    return mesure;
}

Mesure MesurerSynchrone(const std::string fichiers[2], int repetitions, QLabel& etiquette)
{
    Mesure mesure;
    Battement battement;
    battement.Demarrer();
    for (int i = 0; i < repetitions; ++i) {
        const int sorte = i % 2;
        // From the event loop, as a selection would come.
        QTimer::singleShot(0, [&] {
            QElapsedTimer chrono;
            chrono.start();
            ChargeurImage::Resultat resultat;
            const bool reussi = ChargeurImage::Charger(fichiers[sorte], resultat, Cadre);
            if (reussi)
                Afficher(etiquette, resultat.Image);
            mesure.Reussi = mesure.Reussi && reussi;
            mesure.Latences[sorte].push_back(double(chrono.nsecsElapsed()) / photo::NanoParMilli);
        });
        Patienter(PauseMs);
    }
    mesure.BlocageMaxMs = battement.Arreter();
    return mesure;
}

bool EcrireImages(const QString& jpeg, const QString& png)
{
    const QImage photo = photo::PhotoSynthetique(Graine);
    QImageWriter ecrivainJpeg(jpeg, "JPG");
    ecrivainJpeg.setQuality(photo::QualitePhoto);
    QImageWriter ecrivainPng(png, "PNG");
    ecrivainPng.setQuality(CompressionPng);
    if (!ecrivainJpeg.write(photo) || !ecrivainPng.write(photo.copy(0, 0, LargeurPng, HauteurPng))) {
        std::fprintf(stderr, "cannot write %s and %s\n", qPrintable(jpeg), qPrintable(png));
        return false;
    }
    return true;
}

void ImprimerJson(const char* nom, const Mesure& m, bool virgule)
{
    const std::vector<double> toutes = Toutes(m);
    std::printf("\"%s\":{\"max_block_ms\":%.2f,\"median_latency_ms\":%.2f,\"max_latency_ms\":%.2f,"
                "\"median_latency_jpeg_ms\":%.2f,\"median_latency_png_ms\":%.2f",
                nom, m.BlocageMaxMs, Mediane(toutes), *std::max_element(toutes.begin(), toutes.end()),
                Mediane(m.Latences[0]), Mediane(m.Latences[1]));
    if (!m.LatencesRafale.empty())
        std::printf(",\"median_burst_latency_ms\":%.2f", Mediane(m.LatencesRafale));
    std::printf("}%s", virgule ? "," : "");
}

void ImprimerTexte(const char* nom, const Mesure& m)
{
    const std::vector<double> toutes = Toutes(m);
    std::printf("%-28s longest block %7.2f ms; request to picture: median %6.2f ms (JPEG %.2f, PNG %.2f), "
                "max %.2f ms\n",
                nom, m.BlocageMaxMs, Mediane(toutes), Mediane(m.Latences[0]), Mediane(m.Latences[1]),
                *std::max_element(toutes.begin(), toutes.end()));
    if (!m.LatencesRafale.empty())
        std::printf("%-28s last of %d selections %d ms apart (a PNG) to its picture: median %.2f ms\n", "",
                    SelectionsParRafale, EcartRafaleMs, Mediane(m.LatencesRafale));
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    bool json = false;
    int repetitions = RepetitionsParDefaut;
    const QStringList arguments = application.arguments();
    for (int i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == "--json")
            json = true;
        else if (arguments[i] == "--runs" && i + 1 < arguments.size())
            repetitions = std::max(2, arguments[++i].toInt());
        else {
            std::fprintf(stderr, "usage: ruvizaro-bench-preview-async [--json] [--runs N]\n");
            return 2;
        }
    }

    const QString jpeg = QDir::temp().filePath("ruvizaro-bench-async-6000x4000.jpg");
    const QString png = QDir::temp().filePath("ruvizaro-bench-async-4000x3000.png");
    if (!EcrireImages(jpeg, png))
        return 1;
    const std::string fichiers[2] = {QFile::encodeName(jpeg).toStdString(), QFile::encodeName(png).toStdString()};

    QLabel etiquette;
    etiquette.resize(Cadre);
    etiquette.show();
    Patienter(PauseMs);

    const Mesure synchrone = MesurerSynchrone(fichiers, repetitions, etiquette);
    Fenetre fenetre;
    Patienter(PauseMs);
    const Mesure asynchrone = MesurerPanneau(fichiers, repetitions, fenetre);
    if (!synchrone.Reussi || !asynchrone.Reussi) {
        std::fprintf(stderr, "a picture did not load\n");
        return 1;
    }

    if (json) {
        std::printf("{\"runs\":%d,", repetitions);
        ImprimerJson("background", asynchrone, true);
        ImprimerJson("window_thread", synchrone, true);
        std::printf("\"target_block_ms\":%.0f}\n", CibleBlocageMs);
    } else {
        std::printf("%s (%.1f MB) and %s (%.1f MB), in turn, %d selections %d ms apart, 1 ms heartbeat\n",
                    qPrintable(jpeg), double(QFile(jpeg).size()) / photo::MegaOctet, qPrintable(png),
                    double(QFile(png).size()) / photo::MegaOctet, repetitions, PauseMs);
        ImprimerTexte("Image panel (background):", asynchrone);
        ImprimerTexte("loading on window thread:", synchrone);
        std::printf("target: longest block under %.0f ms with the background loader\n", CibleBlocageMs);
    }
    return asynchrone.BlocageMaxMs <= CibleBlocageMs ? 0 : 1;
}
