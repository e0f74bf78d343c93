// Files deleted or cut short while they preview or play: the sound plays
// out or ends, the video player stops cleanly, the picture loader gives a
// picture or refuses, and nothing crashes or hangs.

#include "media/ChargeurImage.h"
#include "media/MoteurAudio.h"
#include "media/SourceFfmpeg.h"
#include "media/Video.h"

#include "support/Attendre.h"
#include "support/Endurance.h"
#include "support/SonsDeTest.h"
#include "support/TemoinMpv.h"
#include "support/VideosDeTest.h"

#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include <unistd.h>

TEST(FichierSupprime, ASoundDeletedWhilePlayingPlaysToItsEnd)
{
    SonsDeTest sons;
    MoteurAudio moteur;
    for (const QString nom : {"un.wav", "un.mp3", "un.ogg"}) {
        const std::string chemin = sons.Generer(nom, "0.5*sin(2*PI*440*t)", 1);
        ASSERT_FALSE(chemin.empty());
        auto source = SourceFfmpeg::Ouvrir(moteur, chemin);
        ASSERT_TRUE(source) << nom.toStdString();
        source->Jouer();
        ASSERT_TRUE(AttendreQue([&] { return source->Temps() >= 200; }));
        ASSERT_EQ(::unlink(chemin.c_str()), 0);
        // Deleted, the file's data stay until it is closed: it plays out.
        ASSERT_TRUE(AttendreQue([&] { return source->Terminee(); }, 5000)) << nom.toStdString();
        // What was played: the header's length, give or take the codec's padding.
        EXPECT_NEAR(source->Temps(), source->LongueurMs(), 60) << nom.toStdString();
    }
}

TEST(FichierSupprime, ASoundCutShortWhilePlayingEnds)
{
    SonsDeTest sons;
    MoteurAudio moteur;
    for (const QString nom : {"trois.wav", "trois.mp3", "trois.ogg"}) {
        const std::string chemin = sons.Generer(nom, "0.5*sin(2*PI*440*t)", 3);
        ASSERT_FALSE(chemin.empty());
        auto source = SourceFfmpeg::Ouvrir(moteur, chemin);
        ASSERT_TRUE(source) << nom.toStdString();
        source->Jouer();
        ASSERT_TRUE(AttendreQue([&] { return source->Temps() >= 100; }));
        // Overwritten by another program: the bytes not read yet are gone.
        ASSERT_EQ(::truncate(chemin.c_str(), 0), 0);
        ASSERT_TRUE(AttendreQue([&] { return source->Terminee(); }, 6000)) << nom.toStdString();
        // Seeking into the lost part and playing again ends too.
        source->DefinirTemps(2000);
        source->Jouer();
        ASSERT_TRUE(AttendreQue([&] { return source->Terminee(); }, 6000)) << nom.toStdString();
        source->Arreter();
        EXPECT_EQ(source->Temps(), 0);
    }
}

TEST(FichierSupprime, AVideoDeletedOrCutShortWhilePlayingStopsCleanly)
{
    QTemporaryDir dossier;
    SurfaceTemoin surface; // shows nothing, as no surface would; gives the player to ask
    Video video;
    video.Regler({BibliothequeMpv::NomParDefaut, "null"});
    video.Initialiser(&surface);
    for (const bool tronquer : {false, true}) {
        const std::string chemin = GenererVideo(dossier.path(), tronquer ? "coupee.mkv" : "effacee.mkv",
                                                {"-c:v", "mpeg4", "-c:a", "libvorbis"}, MireAnimee(3, 25, "64x48"));
        ASSERT_FALSE(chemin.empty());
        video.Ouvrir(chemin);
        ASSERT_TRUE(AttendreQue([&] { return video.Pourcentage() > 5; }, 20000)) << chemin;
        if (tronquer) {
            ASSERT_EQ(::truncate(chemin.c_str(), 0), 0);
        }
        ASSERT_EQ(::unlink(chemin.c_str()), 0);
        // It plays on from what it holds, or stops; it never goes back nor
        // past the end, and the panel's calls still answer.
        int dernier = video.Pourcentage();
        QDeadlineTimer fin(1500);
        while (!fin.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            const int p = video.Pourcentage();
            EXPECT_LE(p, 100);
            video.EnLecture();
            video.TempsCourant();
            dernier = std::max(dernier, p);
        }
        video.Stop();
        EXPECT_EQ(video.Etat(), Video::Arrete);
        // Started again, the deleted file plays nothing; the player says why,
        // without the message box of a missing player.
        QSignalSpy erreurs(&video, &Video::ErreurLecture);
        QSignalSpy impossibles(&video, &Video::LectureImpossible);
        video.Ouvrir(chemin);
        ASSERT_TRUE(AttendreQue([&] { return impossibles.count() == 1; })) << chemin;
        EXPECT_EQ(impossibles.first().at(0).toString(), "Lecture impossible : fichier introuvable");
        EXPECT_EQ(erreurs.count(), 0);
        EXPECT_EQ(video.Etat(), Video::Arrete);
        EXPECT_EQ(video.Pourcentage(), -1) << chemin;
        video.Stop();
    }
}

TEST(FichierSupprime, APictureDeletedOrCutWhileLoadingIsShownWholeOrRefused)
{
    QTemporaryDir dossier;
    QImage grande(1600, 1200, QImage::Format_RGB32);
    for (int y = 0; y < grande.height(); ++y)
        for (int x = 0; x < grande.width(); ++x)
            grande.setPixel(x, y, qRgb(x * 255 / 1599, y * 255 / 1199, 128));
    std::mt19937 hasard(77);
    const int essais = Endurance(20);
    int montrees = 0, refusees = 0;
    for (int i = 0; i < essais; ++i) {
        const char* format = i % 2 == 0 ? "JPG" : "PNG";
        const std::string chemin = dossier.filePath(QString("p%1.%2").arg(i).arg(format)).toStdString();
        ASSERT_TRUE(grande.save(QString::fromStdString(chemin), format));
        const auto taille = std::filesystem::file_size(chemin);
        std::atomic<bool> fini{false};
        ChargeurImage::Resultat resultat;
        bool charge = false;
        std::thread lecture([&] {
            charge = ChargeurImage::Charger(chemin, resultat);
            fini = true;
        });
        // The random delay is the point: each try cuts the file at another
        // moment of its load, from before the open to after the decode.
        std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution<int>(0, 4000)(hasard)));
        // Half the time the file is cut in the middle, always deleted.
        if (i % 4 < 2) {
            EXPECT_EQ(::truncate(chemin.c_str(), off_t(taille / 2)), 0) << chemin;
        }
        ::unlink(chemin.c_str());
        lecture.join();
        ASSERT_TRUE(fini);
        if (charge) {
            ++montrees;
            EXPECT_EQ(resultat.LargeurOrigine, 1600);
            EXPECT_EQ(resultat.HauteurOrigine, 1200);
            EXPECT_EQ(resultat.Image.width(), ChargeurImage::Cote);
            // Whole: the bottom right corner has its colour, not a grey or
            // black of rows never decoded.
            const QRgb coin = resultat.Image.pixel(resultat.Image.width() - 2, resultat.Image.height() - 2);
            EXPECT_GT(qRed(coin), 220) << chemin;
            EXPECT_GT(qGreen(coin), 220) << chemin;
        } else {
            ++refusees;
            EXPECT_TRUE(resultat.Image.isNull());
        }
    }
    std::printf("%d pictures: %d shown, %d refused\n", essais, montrees, refusees);
}
