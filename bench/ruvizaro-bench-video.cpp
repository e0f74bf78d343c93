// Plays a 1280 x 720 video in the 160 x 160 video screen while timers read
// the player as the main window's do (the position every 10 ms, the two
// times every 500 ms), and tells the processor time per second of playback
// and the longest block of the user-interface thread.
//   ruvizaro-bench-video [--json] [--seconds N] [video]
// Without a video, one is generated in the temporary directory with the
// ffmpeg command. On a real display the frames are drawn with OpenGL; under
// the offscreen platform they are decoded only. Exits with 1 when a block
// is over the target.

#include "media/Video.h"
#include "widgets/EcranVideo.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cstdio>

#include <sys/resource.h>

namespace {

constexpr double CibleMillisecondes = 16.0;
constexpr int IntervalleSon = 10;    // the sound timer, which reads the percentage
constexpr int IntervalleVideo = 500; // the video timer, which reads the two times

double TempsProcesseur()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

bool Generer(const QString& chemin, int secondes)
{
    if (QFile::exists(chemin))
        return true;
    const QString duree = QString::number(secondes);
    return QProcess::execute("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i",
                                        "testsrc2=size=1280x720:rate=30:duration=" + duree, "-f", "lavfi", "-i",
                                        "sine=duration=" + duree, "-c:v", "libx264", "-preset", "veryfast", "-c:a",
                                        "aac", chemin}) == 0;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QStringList arguments = application.arguments().mid(1);
    const bool json = arguments.removeAll("--json") > 0;
    int secondes = 20;
    if (const qsizetype i = arguments.indexOf("--seconds"); i >= 0 && i + 1 < arguments.size()) {
        secondes = std::max(1, arguments[i + 1].toInt());
        arguments.remove(i, 2);
    }
    const QString chemin = arguments.isEmpty()
                               ? QDir::temp().filePath(QString("ruvizaro-bench-video-720p-%1s.mp4").arg(secondes + 2))
                               : arguments.first();
    if (!Generer(chemin, secondes + 2)) {
        std::fprintf(stderr, "cannot make %s\n", qPrintable(chemin));
        return 1;
    }

    QWidget fenetre;
    fenetre.resize(600, 400);
    auto* ecran = new EcranVideo(&fenetre);
    fenetre.show();
    Video video;
    video.Initialiser(ecran);
    bool echec = false;
    QObject::connect(&video, &Video::ErreurLecture, [&] { echec = true; });

    QElapsedTimer chrono;
    chrono.start();
    video.Ouvrir(QFile::encodeName(chemin).toStdString());
    const double ouverture = double(chrono.nsecsElapsed()) / 1e6;
    if (echec) {
        std::fprintf(stderr, "%s\n", Video::TexteErreur);
        return 1;
    }

    // Measured once the video plays: the longest timer call, and the longest
    // time past its due between two ticks of the 10 ms timer.
    double appelMax = 0, retardMax = 0, debutProcesseur = 0;
    int blocsLongs = 0; // ticks that came more than the target late
    qint64 dernierTic = -1, debutLecture = -1;
    QTimer son, temps;
    QObject::connect(&son, &QTimer::timeout, [&] {
        const qint64 maintenant = chrono.nsecsElapsed();
        video.Pourcentage();
        const double appel = double(chrono.nsecsElapsed() - maintenant) / 1e6;
        if (debutLecture < 0) {
            if (video.EnLecture()) {
                debutLecture = maintenant;
                debutProcesseur = TempsProcesseur();
            }
        } else {
            appelMax = std::max(appelMax, appel);
            const double retard = double(maintenant - dernierTic) / 1e6 - IntervalleSon;
            retardMax = std::max(retardMax, retard);
            blocsLongs += retard > CibleMillisecondes;
            if (maintenant - debutLecture >= qint64(secondes) * 1'000'000'000)
                application.quit();
        }
        dernierTic = maintenant;
    });
    QObject::connect(&temps, &QTimer::timeout, [&] {
        const qint64 debut = chrono.nsecsElapsed();
        video.TempsCourant();
        video.DureeTotale();
        if (debutLecture >= 0)
            appelMax = std::max(appelMax, double(chrono.nsecsElapsed() - debut) / 1e6);
    });
    son.start(IntervalleSon);
    temps.start(IntervalleVideo);
    application.exec();

    const double lecture = double(chrono.nsecsElapsed() - debutLecture) / 1e9;
    const double processeur = (TempsProcesseur() - debutProcesseur) / lecture;
    const double blocMax = std::max(appelMax, retardMax);
    const bool dessine = ecran->RenduIntegre();
    video.Stop();
    if (json) {
        std::printf("{\"platform\":\"%s\",\"opengl\":%s,\"seconds\":%.1f,\"open_ms\":%.1f,"
                    "\"cpu_seconds_per_second\":%.3f,\"max_timer_call_ms\":%.2f,\"max_ui_block_ms\":%.2f,"
                    "\"blocks_over_target\":%d,\"target_ms\":%.0f}\n",
                    qPrintable(QGuiApplication::platformName()), dessine ? "true" : "false", lecture, ouverture,
                    processeur, appelMax, blocMax, blocsLongs, CibleMillisecondes);
    } else {
        std::printf("%s on %s (%s), %.1f s of playback\n", qPrintable(chemin),
                    qPrintable(QGuiApplication::platformName()), dessine ? "drawn with OpenGL" : "not drawn", lecture);
        std::printf("open %.1f ms (a click, not playback); processor %.3f s per second\n", ouverture, processeur);
        std::printf("longest timer call %.2f ms, longest user-interface block %.2f ms, %d blocks over the "
                    "target of %.0f ms\n",
                    appelMax, blocMax, blocsLongs, CibleMillisecondes);
    }
    return blocMax > CibleMillisecondes ? 1 : 0;
}
