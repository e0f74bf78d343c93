// Plays a 10-minute MP3 in the real program's Son panel, drawing on, and
// tells the processor time per second of playback and the longest block of
// the user-interface thread.
//   ruvizaro-bench-son [--json] [--seconds N] [sound.mp3]
// The program is the real one: its window, the Son zone shown (which turns
// the drawing on), the file handed to the Son panel as a tree selection
// does, the play button's action, and the window's own 10 ms sound timer
// (drawing, current time, position bar). It plays N seconds (20 by default)
// measuring the processor time, then N more with a 1 ms precise timer that
// measures the blocks: that timer's own wake-ups would count in the
// processor time. Without a sound, a 10-minute MP3 is generated with the
// ffmpeg command in a temporary directory; the settings live there too.
// Exits with 1 when a target is missed or the sound did not play.

#include "app/Application.h"
#include "preview/Son.h"
#include "ui/TFormPrincipal.h"
#include "widgets/EcranSon.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <sys/resource.h>

namespace {

constexpr double CibleProcesseur = 0.05; // of one core
constexpr double CibleMillisecondes = 16.0;
constexpr int DureeSonSecondes = 600;
constexpr int RepitSecondes = 3; // before playing: the idle cost of the window and the probe
constexpr int IntervalleSondeMs = 1;

double TempsProcesseur()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A 440 Hz tone under pink noise, stereo, 44 100 Hz, 192 kbit/s.
bool Generer(const QString& chemin)
{
    const QString duree = QString::number(DureeSonSecondes);
    return QProcess::execute("ffmpeg", {"-v", "error", "-nostdin", "-y", "-f", "lavfi", "-i",
                                        "sine=frequency=440:sample_rate=44100:duration=" + duree, "-f", "lavfi", "-i",
                                        "anoisesrc=color=pink:amplitude=0.2:sample_rate=44100:duration=" + duree,
                                        "-filter_complex", "[0][1]amix=inputs=2,aformat=channel_layouts=stereo", "-c:a",
                                        "libmp3lame", "-b:a", "192k", chemin}) == 0;
}

// "hh:mm:ss" in seconds, -1 when not a time.
int Secondes(const QString& texte)
{
    const QStringList parties = texte.split(':');
    if (parties.size() != 3)
        return -1;
    return parties[0].toInt() * 3600 + parties[1].toInt() * 60 + parties[2].toInt();
}

// Times the calls of a timer's first receiver: the filter sees the timer
// event before the timer emits, a receiver connected last marks the end.
class Chrono : public QObject
{
public:
    Chrono(QTimer* minuterie, const QElapsedTimer& origine) : origine_(origine)
    {
        minuterie->installEventFilter(this);
        QObject::connect(minuterie, &QTimer::timeout, this, [this] {
            if (debut_ < 0)
                return;
            const qint64 fin = origine_.nsecsElapsed();
            if (Mesurer) {
                AppelMax = std::max(AppelMax, double(fin - debut_) / 1e6);
                ++Tics;
            }
            debut_ = -1;
        });
    }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Timer)
            debut_ = origine_.nsecsElapsed();
        return false;
    }
    bool Mesurer = false;
    double AppelMax = 0;
    int Tics = 0;

private:
    const QElapsedTimer& origine_;
    qint64 debut_ = -1;
};

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir dossier;
    if (!dossier.isValid()) {
        std::fprintf(stderr, "cannot create a temporary directory\n");
        return 1;
    }
    ::setenv("XDG_CONFIG_HOME", QFile::encodeName(dossier.path()).constData(), 1);

    QApplication application(argc, argv);
    QStringList arguments = application.arguments().mid(1);
    const bool json = arguments.removeAll("--json") > 0;
    int secondes = 20;
    if (const qsizetype i = arguments.indexOf("--seconds"); i >= 0 && i + 1 < arguments.size()) {
        secondes = std::clamp(arguments[i + 1].toInt(), 1, DureeSonSecondes - 10);
        arguments.remove(i, 2);
    }
    const QString chemin = arguments.isEmpty() ? dossier.filePath("dix-minutes.mp3") : arguments.first();
    if (arguments.isEmpty() && !Generer(chemin)) {
        std::fprintf(stderr, "cannot make %s\n", qPrintable(chemin));
        return 1;
    }

    Application app;
    app.Preparer();
    TFormPrincipal* f = &app.Fenetre();
    f->show();
    app.Menu.AfficherSon(true); // the Son zone: its panel, the drawing on
    QCoreApplication::processEvents();

    // As a selection in a Son tree hands the file over.
    const QFileInfo info(chemin);
    FichierApercu fichier;
    fichier.Chemin = QFile::encodeName(info.absoluteFilePath()).toStdString();
    fichier.Existe = info.exists();
    fichier.Nom = info.fileName();
    fichier.Ext = info.suffix();
    fichier.Taille = QString::number(info.size());
    app.Previsu.Audio.Afficher(fichier);
    // The player loads off the window's thread and answers through the loop.
    QElapsedTimer chargement;
    chargement.start();
    while (app.Sons.Chargement() && chargement.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (!app.Sons.FluxCharge()) {
        std::fprintf(stderr, "the player cannot load %s\n", qPrintable(chemin));
        return 1;
    }

    QElapsedTimer origine;
    origine.start();
    Chrono chrono(f->findChild<QTimer*>("TimerSon"), origine);

    // The probe: the longest gap between two ticks, less 1 ms, and how many
    // gaps were over the target.
    QTimer sonde;
    sonde.setTimerType(Qt::PreciseTimer);
    sonde.setInterval(IntervalleSondeMs);
    bool mesurer = false;
    double blocMax = 0;
    int blocsLongs = 0;
    qint64 dernier = -1;
    QObject::connect(&sonde, &QTimer::timeout, [&] {
        const qint64 maintenant = origine.nsecsElapsed();
        if (dernier >= 0) {
            const double bloc = double(maintenant - dernier) / 1e6 - IntervalleSondeMs;
            blocMax = std::max(blocMax, bloc);
            blocsLongs += bloc > CibleMillisecondes;
        }
        dernier = maintenant;
    });

    // The drawing must change while it plays: its picture's checksum, every
    // 100 ms, against the one before.
    int changements = 0;
    quint64 empreinte = 0;
    QTimer regard;
    QObject::connect(&regard, &QTimer::timeout, [&] {
        const QImage& image = app.Sons.Animation().Pixels();
        const quint64 e = qHashBits(image.constBits(), size_t(image.sizeInBytes()));
        changements += mesurer && e != empreinte;
        empreinte = e;
    });
    regard.start(100);

    auto attendre = [](int ms) {
        QEventLoop boucle;
        QTimer::singleShot(ms, &boucle, &QEventLoop::quit);
        boucle.exec();
    };

    // Idle first: the window and its timers, nothing playing, no probe.
    attendre(500);
    double debutProcesseur = TempsProcesseur();
    qint64 debut = origine.nsecsElapsed();
    attendre(RepitSecondes * 1000);
    const double repos = (TempsProcesseur() - debutProcesseur) / (double(origine.nsecsElapsed() - debut) / 1e9);

    // Play, as the play button does. The processor first, without the probe
    // (its 1 000 wake-ups a second cost a few per cent of a core by
    // themselves), then the blocks, with it.
    app.Previsu.Audio.PlayPause();
    mesurer = true;
    chrono.Mesurer = true;
    debutProcesseur = TempsProcesseur();
    debut = origine.nsecsElapsed();
    attendre(secondes * 1000);
    const double lectureProcesseur = double(origine.nsecsElapsed() - debut) / 1e9;
    const double processeur = (TempsProcesseur() - debutProcesseur) / lectureProcesseur;

    dernier = -1;
    sonde.start();
    debutProcesseur = TempsProcesseur();
    debut = origine.nsecsElapsed();
    attendre(secondes * 1000);
    sonde.stop();
    const double lectureSonde = double(origine.nsecsElapsed() - debut) / 1e9;
    const double processeurSonde = (TempsProcesseur() - debutProcesseur) / lectureSonde;
    mesurer = false;
    chrono.Mesurer = false;

    const double lecture = lectureProcesseur + lectureSonde;
    const int joue = Secondes(app.Sons.TempsCourant());
    const bool dessine = f->findChild<EcranSon*>("EcranDessin")->Montre() && app.Previsu.Audio.DessinActif();
    const double tics = chrono.Tics / lecture;
    app.Previsu.Audio.Stop();

    const bool joueAssez = joue >= 2 * secondes - 2 && joue <= 2 * secondes + 2;
    const bool dessinVivant = dessine && changements >= secondes * 10;
    if (json) {
        std::printf("{\"platform\":\"%s\",\"seconds\":%.1f,\"played_seconds\":%d,\"drawing\":%s,"
                    "\"drawing_changes\":%d,\"sound_timer_ticks_per_second\":%.1f,"
                    "\"cpu_seconds_per_second\":%.4f,\"idle_cpu_seconds_per_second\":%.4f,"
                    "\"cpu_seconds_per_second_with_probe\":%.4f,"
                    "\"max_timer_call_ms\":%.2f,\"max_ui_block_ms\":%.2f,\"blocks_over_target\":%d,"
                    "\"target_cpu\":%.2f,\"target_ms\":%.0f}\n",
                    qPrintable(QGuiApplication::platformName()), lecture, joue, dessine ? "true" : "false", changements,
                    tics, processeur, repos, processeurSonde, chrono.AppelMax, blocMax, blocsLongs, CibleProcesseur,
                    CibleMillisecondes);
    } else {
        std::printf("%s on %s, %.1f s of playback, %d s played\n", qPrintable(chemin),
                    qPrintable(QGuiApplication::platformName()), lecture, joue);
        std::printf("drawing %s, changed %d times; sound timer %.1f ticks per second\n",
                    dessine ? "shown" : "not shown", changements, tics);
        std::printf("processor %.4f s per second of playback (target under %.2f); %.4f idle before playing, "
                    "%.4f with the 1 ms probe\n",
                    processeur, CibleProcesseur, repos, processeurSonde);
        std::printf("longest sound timer call %.2f ms, longest user-interface block %.2f ms, %d blocks over the "
                    "target of %.0f ms\n",
                    chrono.AppelMax, blocMax, blocsLongs, CibleMillisecondes);
    }
    if (!joueAssez || !dessinVivant) {
        std::fprintf(stderr, "the sound did not play as expected (%d s played, drawing %s, %d changes)\n", joue,
                     dessine ? "shown" : "not shown", changements);
        return 1;
    }
    return processeur >= CibleProcesseur || blocMax > CibleMillisecondes ? 1 : 0;
}
