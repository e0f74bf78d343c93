// Streams decoded by FFmpeg on generated files: lengths, play, pause,
// seeking and the end, and every kind of file that must be refused.

#include "media/MoteurAudio.h"
#include "media/SourceFfmpeg.h"

#include "support/Attendre.h"
#include "support/CompteurMelange.h"
#include "support/SonsDeTest.h"

#include <QBuffer>
#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

extern "C" {
#include <libavutil/mem.h>
}

#include <filesystem>
#include <string>

TEST(SourceFfmpeg, CommonFormatsGiveTheirLength)
{
    SonsDeTest sons;
    MoteurAudio moteur;
    const std::string wav = sons.Sinus("trois.wav", 440, 3);
    auto source = SourceFfmpeg::Ouvrir(moteur, wav);
    ASSERT_TRUE(source);
    EXPECT_EQ(source->LongueurMs(), 3000);
    EXPECT_EQ(source->Temps(), 0);
    EXPECT_FALSE(source->Terminee());
    // Once a sound is open, FFmpeg refuses any one allocation over the bound.
    void* enorme = av_malloc(SourceFfmpeg::AllocationMax + 1);
    EXPECT_EQ(enorme, nullptr);
    av_free(enorme);
    for (const QString nom : {"trois.mp3", "trois.ogg"}) {
        const std::string chemin = sons.Generer(nom, "0.5*sin(2*PI*440*t)", 3);
        auto s = SourceFfmpeg::Ouvrir(moteur, chemin);
        ASSERT_TRUE(s) << nom.toStdString();
        EXPECT_NEAR(s->LongueurMs(), 3000, 100) << nom.toStdString();
    }
}

TEST(SourceFfmpeg, PlayPauseResumeAndSeek)
{
    SonsDeTest sons;
    MoteurAudio moteur;
    auto source = SourceFfmpeg::Ouvrir(moteur, sons.Sinus("dix.wav", 440, 10));
    ASSERT_TRUE(source);
    CompteurMelange melange(moteur);

    // Loaded but not played: the position does not move while the mixer
    // mixes 200 ms.
    ASSERT_TRUE(melange.AttendreMs(200));
    EXPECT_EQ(source->Temps(), 0);

    source->Jouer();
    ASSERT_TRUE(AttendreQue([&] { return source->Temps() >= 300; }));
    source->DefinirPause(true);
    // The block being mixed when the pause came ends; the next sees the pause.
    ASSERT_TRUE(melange.AttendreBlocSuivant());
    const int tenu = source->Temps();
    ASSERT_TRUE(melange.AttendreMs(300));
    EXPECT_EQ(source->Temps(), tenu);
    source->DefinirPause(false);
    ASSERT_TRUE(AttendreQue([&] { return source->Temps() >= tenu + 200; }));

    source->DefinirTemps(7000);
    EXPECT_GE(source->Temps(), 7000);
    EXPECT_LT(source->Temps(), 7100);
    source->DefinirPause(true);
    source->DefinirTemps(2500);
    ASSERT_TRUE(melange.AttendreMs(100));
    EXPECT_EQ(source->Temps(), 2500);
    source->DefinirTemps(-1);
    EXPECT_EQ(source->Temps(), 0);

    source->Arreter();
    EXPECT_FALSE(source->EnLecture());
    EXPECT_EQ(source->Temps(), 0);
}

TEST(SourceFfmpeg, AfterASeekTheSoundIsThatOfTheNewPlace)
{
    // Left channel silent for 1 s, then at 0.5: after a seek to 1.5 s the
    // mixer hears 0.5 at once.
    SonsDeTest sons;
    MoteurAudio moteur;
    auto source = SourceFfmpeg::Ouvrir(moteur, sons.Generer("marche.wav", "0.5*gte(t,1)|0", 2));
    ASSERT_TRUE(source);
    source->DefinirTemps(1500);
    source->Jouer();
    ASSERT_TRUE(AttendreQue([&] { return source->Temps() > 1600; }));
    float derniers[256];
    moteur.DerniersEchantillons(derniers, 256);
    for (float v : derniers)
        ASSERT_NEAR(v, 0.25f, 1e-3f); // mono mean of 0.5 and 0
}

TEST(SourceFfmpeg, PlayedToTheEndThenPlayedAgain)
{
    SonsDeTest sons;
    MoteurAudio moteur;
    auto source = SourceFfmpeg::Ouvrir(moteur, sons.Sinus("court.wav", 440, 0.5));
    ASSERT_TRUE(source);
    source->Jouer();
    ASSERT_TRUE(AttendreQue([&] { return source->Terminee(); }, 5000));
    EXPECT_EQ(source->Temps(), source->LongueurMs());
    EXPECT_FALSE(source->EnLecture());
    source->Jouer();
    EXPECT_FALSE(source->Terminee());
    EXPECT_LT(source->Temps(), 100);
    EXPECT_TRUE(AttendreQue([&] { return source->Temps() > 100; }));
}

TEST(SourceFfmpeg, FilesThatAreNotSoundAreRefused)
{
    SonsDeTest sons;
    MoteurAudio moteur;
    QByteArray jpeg;
    QBuffer tampon(&jpeg);
    tampon.open(QIODevice::WriteOnly);
    QImage(64, 64, QImage::Format_RGB32).save(&tampon, "JPG");
    QByteArray bruit(50000, '\0');
    for (int i = 0; i < bruit.size(); ++i)
        bruit[i] = char((i * 7919) % 251);
    // A WAV header claiming 671 MHz: building a resampler for it took 30 s
    // and 2 GB.
    QByteArray wav("RIFF\0\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x40\x1f\0\x28\x80\x3e\0\0\x02\0\x10\0data", 40);
    const QByteArray echantillons(600, '\x11');
    const quint32 taille = echantillons.size();
    wav.append(reinterpret_cast<const char*>(&taille), 4).append(echantillons);
    const std::string chemins[] = {
        sons.Ecrire("megahertz.wav", wav),
        sons.Ecrire("vide.wav", {}),
        sons.Ecrire("photo.mp3", jpeg),
        sons.Ecrire("bruit.ogg", bruit),
        sons.Ecrire("tronque.mid", SonsDeTest::Midi(true)),
        "/nulle/part/absent.mp3",
    };
    for (const std::string& chemin : chemins)
        EXPECT_FALSE(SourceFfmpeg::Ouvrir(moteur, chemin)) << chemin;

    // An mp3 with its middle overwritten still opens and plays to its end.
    const std::string mp3 = sons.Generer("abime.mp3", "0.5*sin(2*PI*440*t)", 1);
    QFile f(QString::fromStdString(mp3));
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.seek(f.size() / 3);
    f.write(bruit.left(int(f.size() / 3)));
    f.close();
    auto abime = SourceFfmpeg::Ouvrir(moteur, mp3);
    ASSERT_TRUE(abime);
    abime->Jouer();
    EXPECT_TRUE(AttendreQue([&] { return abime->Terminee(); }, 10000));
}

// The current time is what was played: a file shorter than its header
// says, or whose header claims 2^32 − 1 seconds, ends at its real end; a
// length past 100 hours is not believed.
TEST(SourceFfmpeg, TimesAreThoseOfWhatWasPlayed)
{
    SonsDeTest sons;
    MoteurAudio moteur;
    QFile m4a(QString::fromStdString(sons.Generer("deux.m4a", "0.5*sin(2*PI*440*t)", 2, {"-c:a", "aac"})));
    ASSERT_TRUE(m4a.open(QIODevice::ReadWrite));
    QByteArray octets = m4a.readAll();
    const qsizetype mvhd = octets.indexOf("mvhd");
    ASSERT_GT(mvhd, 0);
    ASSERT_EQ(octets[mvhd + 4], '\0'); // version 0: 32-bit time scale and duration
    octets.replace(mvhd + 16, 8, QByteArray("\0\0\0\x01\xFF\xFF\xFF\xFF", 8));
    m4a.seek(0);
    m4a.write(octets);
    m4a.close();
    auto menteur = SourceFfmpeg::Ouvrir(moteur, m4a.fileName().toStdString());
    ASSERT_TRUE(menteur);
    EXPECT_LE(menteur->LongueurMs(), 2100);

    const std::string mp3 = sons.Generer("trois.mp3", "0.5*sin(2*PI*440*t)", 3);
    std::filesystem::resize_file(mp3, std::filesystem::file_size(mp3) / 3);
    auto coupe = SourceFfmpeg::Ouvrir(moteur, mp3);
    ASSERT_TRUE(coupe);
    EXPECT_NEAR(coupe->LongueurMs(), 3000, 100); // what its header says
    for (SourceFfmpeg* source : {menteur.get(), coupe.get()}) {
        source->Jouer();
        ASSERT_TRUE(AttendreQue([&] { return source->Terminee(); }, 10000));
        EXPECT_GT(source->Temps(), 500);
        EXPECT_LT(source->Temps(), 2200);
    }
}
