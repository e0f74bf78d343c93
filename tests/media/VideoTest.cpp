// The video player on real libmpv (no picture, no sound device) and videos
// made by ffmpeg: its states, times, percentage and seeking, and how it
// fails.

#include "media/SurfaceVideo.h"
#include "media/Video.h"

#include "support/Attendre.h"
#include "support/SurveillanceFichiers.h"
#include "support/TemoinMpv.h"
#include "support/VideosDeTest.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <memory>
#include <string>

namespace {

int Secondes(const QString& temps)
{
    const QStringList parties = temps.split(':');
    return parties.size() == 3 ? parties[0].toInt() * 3600 + parties[1].toInt() * 60 + parties[2].toInt() : -1;
}

class VideoTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        dossier_ = std::make_unique<QTemporaryDir>();
        for (const VideoDeTest& video : VideosCourtes)
            videos_[video.Extension] = GenererVideo(dossier_->path(), "court." + video.Extension, video.Codecs);
        // 200 s at one frame a second, small enough to make in a moment.
        videos_["long"] = GenererVideo(dossier_->path(), "long.mkv", {"-c:v", "mpeg4", "-g", "10"},
                                       MireAnimee(200, 1, "64x48"), false);
        texte_ = dossier_->filePath("texte.avi").toStdString();
        std::ofstream(texte_) << "Ceci n'est pas une video.\n";
    }
    static void TearDownTestSuite() { dossier_.reset(); }

    void SetUp() override
    {
        video_.Regler({BibliothequeMpv::NomParDefaut, "null"});
        video_.Initialiser(&surface_);
    }

    // Plays the file until its position has reached the given second.
    void JouerJusqua(const std::string& chemin, int seconde)
    {
        video_.Ouvrir(chemin);
        ASSERT_TRUE(AttendreQue([&] { return Secondes(video_.TempsCourant()) >= seconde; }))
            << chemin << " did not reach " << seconde << " s";
    }

    static inline std::unique_ptr<QTemporaryDir> dossier_;
    static inline std::map<QString, std::string> videos_;
    static inline std::string texte_;
    SurfaceTemoin surface_;
    Video video_;
};

TEST_F(VideoTest, WithNothingOpenedTimesAreZeroAndNothingMoves)
{
    video_.Pause(true);
    video_.Positionner(50);
    video_.Stop();
    EXPECT_EQ(video_.Etat(), Video::Arrete);
    EXPECT_EQ(video_.TempsCourant(), "00:00:00");
    EXPECT_EQ(video_.DureeTotale(), "00:00:00");
    EXPECT_EQ(video_.Pourcentage(), -1);
    EXPECT_FALSE(video_.EnLecture());
    EXPECT_FALSE(surface_.Visible);
}

class VideoContainerTest : public VideoTest, public ::testing::WithParamInterface<const char*>
{};

TEST_P(VideoContainerTest, PlaysWithItsDurationAndAMovingPercentage)
{
    const std::string& chemin = videos_[GetParam()];
    video_.Ouvrir(chemin);
    EXPECT_EQ(video_.Etat(), Video::EnCours);
    EXPECT_TRUE(surface_.Visible);
    ASSERT_TRUE(AttendreQue([&] { return video_.DureeTotale() == "00:00:03"; }));
    EXPECT_TRUE(video_.EnLecture());
    int debut = -1;
    ASSERT_TRUE(AttendreQue([&] { return (debut = video_.Pourcentage()) >= 0; }));
    ASSERT_TRUE(AttendreQue([&] { return video_.Pourcentage() > debut + 10; }));
    ASSERT_TRUE(AttendreQue([&] { return video_.TempsCourant() == "00:00:01"; }));
}

INSTANTIATE_TEST_SUITE_P(Containers, VideoContainerTest, ::testing::Values("mpg", "avi", "mkv", "mov", "asf"));

TEST_F(VideoTest, PauseHoldsThePositionAndPlayResumesInTheSamePlayer)
{
    JouerJusqua(videos_["mkv"], 1);
    video_.Pause(true);
    EXPECT_EQ(video_.Etat(), Video::EnPause);
    // The pause reaches the player, and Video has heard of the position it
    // stopped at.
    ASSERT_TRUE(AttendreQue([&] {
        const auto position = NombreMpv(surface_.Lecteur, "time-pos");
        const auto duree = NombreMpv(surface_.Lecteur, "duration");
        return DrapeauMpv(surface_.Lecteur, "pause") && position && duree && *duree > 0 &&
               video_.Pourcentage() == int(*position * 100 / *duree);
    })) << "the player did not pause";
    const int tenu = video_.Pourcentage();
    QTest::qWait(600); // time is what is checked: the position holds while it would have moved by 20 %
    EXPECT_EQ(video_.Pourcentage(), tenu);
    EXPECT_TRUE(video_.EnLecture()); // a paused video counts as playing
    EXPECT_EQ(video_.DureeTotale(), "00:00:03");

    video_.Ouvrir(videos_["mkv"]);
    EXPECT_EQ(video_.Etat(), Video::EnCours);
    EXPECT_EQ(video_.InstancesCreees(), 1);
    ASSERT_TRUE(AttendreQue([&] { return video_.Pourcentage() > tenu; }));
}

TEST_F(VideoTest, StopHidesAndEachStartIsANewPlayerFromTheBeginning)
{
    JouerJusqua(videos_["avi"], 1);
    video_.Stop();
    EXPECT_EQ(video_.Etat(), Video::Arrete);
    EXPECT_FALSE(surface_.Visible);
    EXPECT_FALSE(video_.EnLecture());
    EXPECT_TRUE(AttendreQue([&] { return video_.TempsCourant() == "00:00:00"; }));

    video_.Ouvrir(videos_["avi"]);
    EXPECT_EQ(video_.InstancesCreees(), 2);
    EXPECT_TRUE(surface_.Visible);
    ASSERT_TRUE(AttendreQue([&] { return video_.EnLecture(); }));
    EXPECT_LT(video_.Pourcentage(), 30);

    // From Etat 1 too.
    ASSERT_TRUE(AttendreQue([&] { return video_.TempsCourant() == "00:00:01"; }));
    video_.Ouvrir(videos_["mpg"]);
    EXPECT_EQ(video_.InstancesCreees(), 3);
    EXPECT_TRUE(surface_.Attachee);
    ASSERT_TRUE(AttendreQue([&] { return video_.EnLecture(); }));
    EXPECT_LT(video_.Pourcentage(), 30);
}

TEST_F(VideoTest, AtTheEndTheTotalGoesBackToZeroAndThePercentageStops)
{
    JouerJusqua(videos_["mkv"], 2);
    ASSERT_TRUE(AttendreQue([&] { return !video_.EnLecture(); }, 5000));
    EXPECT_EQ(video_.DureeTotale(), "00:00:00");
    EXPECT_EQ(video_.Pourcentage(), -1);
    EXPECT_EQ(video_.Etat(), Video::EnCours); // nobody told it to stop
}

TEST_F(VideoTest, SeekingLandsWhereTheBarSays)
{
    // 25 % of 200 s is 50 s.
    video_.Ouvrir(videos_["long"]);
    ASSERT_TRUE(AttendreQue([&] { return video_.DureeTotale() == "00:03:20"; }));
    video_.Positionner(25);
    ASSERT_TRUE(AttendreQue([&] { return Secondes(video_.TempsCourant()) >= 50; }));
    EXPECT_LE(Secondes(video_.TempsCourant()), 52);
    // At one frame a second the position moves once a second; the video
    // still counts as playing all along.
    int arrets = 0;
    // Time is what is checked: readings every 20 ms for 2.5 s, over two
    // moves of the position.
    for (QDeadlineTimer fin(2500); !fin.hasExpired(); QTest::qWait(20))
        arrets += !video_.EnLecture();
    EXPECT_EQ(arrets, 0);
    EXPECT_GE(video_.Pourcentage(), 25);
    EXPECT_LE(video_.Pourcentage(), 27);

    // A paused video counts as playing, so seeking leaves it paused.
    video_.Pause(true);
    video_.Positionner(50);
    ASSERT_TRUE(AttendreQue([&] { return Secondes(video_.TempsCourant()) >= 100; }));
    QTest::qWait(1500); // time is what is checked: playing, it would have moved by a frame, one second
    EXPECT_EQ(Secondes(video_.TempsCourant()), 100);

    // MPEG-1 seeks land within about half a second.
    video_.Stop();
    video_.Ouvrir(videos_["mpg"]);
    ASSERT_TRUE(AttendreQue([&] { return video_.Pourcentage() >= 0; }));
    video_.Positionner(50);
    ASSERT_TRUE(AttendreQue([&] { return video_.Pourcentage() >= 30; }));
    EXPECT_LE(video_.Pourcentage(), 75);
}

TEST_F(VideoTest, AFileItCannotPlayGivesNoMessageAndZeroTimes)
{
    QSignalSpy erreurs(&video_, &Video::ErreurLecture);
    SurveillanceFichiers fichiers;
    ASSERT_TRUE(fichiers.Surveiller(texte_));
    video_.Ouvrir(texte_);
    EXPECT_EQ(video_.Etat(), Video::EnCours);
    // The player has opened the file and gone back to idle: it gave it up.
    ASSERT_TRUE(AttendreQue([&] {
        return fichiers.Vu(texte_, IN_OPEN) && DrapeauMpv(surface_.Lecteur, "idle-active");
    })) << "the player never tried the file, or is still at it";
    EXPECT_FALSE(video_.EnLecture());
    EXPECT_EQ(video_.TempsCourant(), "00:00:00");
    EXPECT_EQ(video_.DureeTotale(), "00:00:00");
    EXPECT_EQ(video_.Pourcentage(), -1);
    EXPECT_EQ(erreurs.count(), 0);
}

TEST_F(VideoTest, AMissingLibraryIsReportedAndLeavesNoPlayer)
{
    JouerJusqua(videos_["mkv"], 1);
    QSignalSpy erreurs(&video_, &Video::ErreurLecture);
    video_.Regler({"libmpv-absente.so.9", "null"});
    video_.Ouvrir(videos_["mkv"]);
    EXPECT_EQ(erreurs.count(), 1);
    EXPECT_EQ(video_.Etat(), Video::EnCours); // left as it was
    EXPECT_EQ(video_.InstancesCreees(), 1);
    EXPECT_FALSE(surface_.Visible);
    EXPECT_FALSE(surface_.Attachee);
    EXPECT_FALSE(video_.EnLecture());
    EXPECT_EQ(video_.TempsCourant(), "00:00:00");
    video_.MontrerFenetre(true);
    EXPECT_FALSE(surface_.Visible);

    // Each press tries again.
    video_.Ouvrir(videos_["mkv"]);
    EXPECT_EQ(erreurs.count(), 2);
}

} // namespace

// An MP4 whose header claims 2^32 − 1 seconds: its length is unknown, its
// current time is the played one, and the bar does not follow it.
TEST_F(VideoTest, AnAbsurdDeclaredLengthIsUnknown)
{
    const std::string chemin = GenererVideo(dossier_->path(), "menteuse.mp4", {"-c:v", "mpeg4", "-c:a", "aac"});
    ASSERT_FALSE(chemin.empty());
    QFile mp4(QString::fromStdString(chemin));
    ASSERT_TRUE(mp4.open(QIODevice::ReadWrite));
    QByteArray octets = mp4.readAll();
    const qsizetype mvhd = octets.indexOf("mvhd");
    ASSERT_GT(mvhd, 0);
    ASSERT_EQ(octets[mvhd + 4], '\0');
    octets.replace(mvhd + 16, 8, QByteArray("\0\0\0\x01\xFF\xFF\xFF\xFF", 8));
    mp4.seek(0);
    mp4.write(octets);
    mp4.close();
    JouerJusqua(chemin, 1);
    EXPECT_EQ(video_.DureeTotale(), "00:00:00");
    EXPECT_EQ(video_.Pourcentage(), -1);
    EXPECT_EQ(Secondes(video_.TempsCourant()), 1);
}
