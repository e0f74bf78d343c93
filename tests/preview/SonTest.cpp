// The sound player on generated files, and the Son panel on real widgets:
// the player's times, its play / pause / stop / seek rules and their 32-bit
// arithmetic, the capture ring, the two drawings, what the panel's frame
// shows and how a right click changes the drawing.

#include "preview/Son.h"

#include "preview/PanneauSon.h"
#include "widgets/EcranSon.h"
#include "widgets/ImageComposant.h"
#include "widgets/TFormImage.h"

#include "support/Attendre.h"
#include "support/SonsDeTest.h"

#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// The drawing's rows count from the bottom.
QRgb Pixel(const QImage& image, int x, int y)
{
    return image.pixel(x, AnimationSon::HauteurPixels - 1 - y);
}

int HauteurBarre(const QImage& image, int x)
{
    int h = 0;
    while (h < AnimationSon::HauteurPixels && Pixel(image, x, h) != AnimationSon::GrisClair)
        ++h;
    return h;
}

// Lets the mixer hand over n more blocks (about 21 ms each), playing or not:
// whatever the player does at each block has been done n times.
bool AttendreBlocs(Son& son, std::uint64_t n)
{
    const std::uint64_t depart = son.Animation().BlocsRecus();
    return AttendreQue([&] { return son.Animation().BlocsRecus() >= depart + n; });
}

// The player loads off the window's thread: waits for its answer.
bool Charge(Son& son)
{
    return AttendreQue([&] { return !son.Chargement(); }, 10000);
}

int PlusFortEchantillon(Son& son)
{
    int fort = 0;
    for (int i = 0; i < AnimationSon::LongueurTotale; ++i)
        fort = std::max(fort, std::abs(int(son.Animation().Echantillon(i))));
    return fort;
}

} // namespace

TEST(Son, LoadsSilentlyThenPlaysPausesResumesAndStops)
{
    SonsDeTest sons;
    const std::string chemin = sons.Sinus("trois.wav", 440, 3);
    Son son;

    son.Ouvrir(chemin, false);
    EXPECT_TRUE(son.FichierCourant.empty());
    ASSERT_TRUE(Charge(son));
    EXPECT_EQ(son.DureeTotale(), "00:00:03");
    EXPECT_EQ(son.TempsCourant(), "00:00:00");
    EXPECT_EQ(son.Pourcentage(), 0);
    EXPECT_FALSE(son.LectureTerminee());

    son.Ouvrir(chemin, true);
    EXPECT_EQ(son.FichierCourant, chemin);
    ASSERT_TRUE(AttendreQue([&] { return son.Pourcentage() >= 10; }));
    EXPECT_GT(PlusFortEchantillon(son), 30000) << "the full-scale sine reaches the ring";

    son.Pause(true);
    EXPECT_TRUE(son.EnPause);
    ASSERT_TRUE(AttendreBlocs(son, 3));
    const QString tenu = son.TempsCourant();
    const int pourcent = son.Pourcentage();
    ASSERT_TRUE(AttendreBlocs(son, 15));
    EXPECT_EQ(son.Pourcentage(), pourcent);
    EXPECT_EQ(son.TempsCourant(), tenu);

    // Play again resumes where it paused, without reloading.
    son.Ouvrir(chemin, true);
    EXPECT_FALSE(son.EnPause);
    EXPECT_GE(son.Pourcentage(), pourcent);
    ASSERT_TRUE(AttendreQue([&] { return son.Pourcentage() >= pourcent + 5; }));

    // Stop rewinds: the file is reloaded silently.
    son.Stop();
    EXPECT_TRUE(son.FichierCourant.empty());
    EXPECT_FALSE(son.EnPause);
    ASSERT_TRUE(Charge(son));
    EXPECT_EQ(son.Pourcentage(), 0);
    ASSERT_TRUE(AttendreBlocs(son, 10));
    EXPECT_EQ(son.Pourcentage(), 0);
    EXPECT_EQ(son.DureeTotale(), "00:00:03");
}

TEST(Son, SeeksToAPercentOfTheLength)
{
    SonsDeTest sons;
    // 200 000 ms, kept small: mono 8 kHz.
    const std::string chemin = sons.Generer("long.wav", "0", 200, {"-ar", "8000"});
    ASSERT_FALSE(chemin.empty());
    Son son;
    son.Ouvrir(chemin, false);
    ASSERT_TRUE(Charge(son));
    ASSERT_EQ(son.DureeTotale(), "00:03:20");
    son.Positionner(50); // 50 × 200000 ÷ 100 − 1 = 99 999 ms
    EXPECT_EQ(son.TempsCourant(), "00:01:39");
    EXPECT_EQ(son.Pourcentage(), 49);
    son.Positionner(0); // −1 ms: the beginning
    EXPECT_EQ(son.TempsCourant(), "00:00:00");
    EXPECT_EQ(son.Pourcentage(), 0);
    son.Positionner(100);
    EXPECT_EQ(son.TempsCourant(), "00:03:19");
}

TEST(Son, ATenHourSoundSeeksAnywhere)
{
    // A 10-hour WAV (8 kHz, 8 bits, mono) kept sparse on disk.
    QTemporaryDir dossier;
    const std::string chemin = (dossier.path() + "/dix-heures.wav").toStdString();
    constexpr std::uint32_t Donnees = 288'000'000;
    {
        std::ofstream sortie(chemin, std::ios::binary);
        auto mot32 = [&](std::uint32_t v) { sortie.write(reinterpret_cast<const char*>(&v), 4); };
        auto mot16 = [&](std::uint16_t v) { sortie.write(reinterpret_cast<const char*>(&v), 2); };
        sortie.write("RIFF", 4);
        mot32(36 + Donnees);
        sortie.write("WAVEfmt ", 8);
        mot32(16);
        mot16(1);
        mot16(1);
        mot32(8000);
        mot32(8000);
        mot16(1);
        mot16(8);
        sortie.write("data", 4);
        mot32(Donnees);
    }
    std::filesystem::resize_file(chemin, 44 + Donnees);
    Son son;
    son.Ouvrir(chemin, false);
    ASSERT_TRUE(Charge(son));
    ASSERT_EQ(son.DureeTotale(), "10:00:00");
    // 60 % of 36 000 000 ms is past what 32 bits hold: no jump back.
    son.Positionner(60);
    EXPECT_EQ(son.TempsCourant(), "05:59:59");
    EXPECT_EQ(son.Pourcentage(), 59);
    son.Positionner(99);
    EXPECT_EQ(son.TempsCourant(), "09:53:59");
    EXPECT_EQ(son.Pourcentage(), 98);
}

TEST(Son, AFinishedStreamRestartsWhenSeeked)
{
    SonsDeTest sons;
    const std::string chemin = sons.Sinus("court.wav", 440, 1);
    Son son;
    son.Ouvrir(chemin, true);
    ASSERT_TRUE(AttendreQue([&] { return son.LectureTerminee(); }, 5000));
    EXPECT_EQ(son.Pourcentage(), 100);
    EXPECT_EQ(son.TempsCourant(), "00:00:01");
    son.Positionner(50);
    EXPECT_FALSE(son.LectureTerminee());
    EXPECT_EQ(son.Pourcentage(), 49);
    EXPECT_TRUE(AttendreQue([&] { return son.Pourcentage() >= 60; }));
}

TEST(Son, TheCaptureAveragesBothChannels)
{
    SonsDeTest sons;
    const std::string chemin = sons.Generer("niveaux.wav", "0.5|-0.1", 3);
    Son son;
    son.Ouvrir(chemin, true);
    ASSERT_TRUE(AttendreQue([&] { return son.Pourcentage() >= 20; }));
    // (0.5 − 0.1) ÷ 2 in 16-bit, in every sample of the ring's blocks.
    for (int i = 0; i < AnimationSon::LongueurTotale; ++i)
        ASSERT_NEAR(son.Animation().Echantillon(i), 6553, 3) << i;
}

TEST(Son, MidiHasNoLengthNorPosition)
{
    SonsDeTest sons;
    const std::string chemin = sons.Ecrire("chanson.mid", SonsDeTest::Midi());
    Son son;
    son.Ouvrir(chemin, true);
    ASSERT_TRUE(Charge(son));
    EXPECT_TRUE(son.MusiqueChargee());
    EXPECT_FALSE(son.FluxCharge());
    EXPECT_EQ(son.DureeTotale(), "");
    EXPECT_EQ(son.Pourcentage(), -1);
    ASSERT_TRUE(AttendreQue([&] { return PlusFortEchantillon(son) > 300; }, 5000)) << "heard in the mix";
    EXPECT_TRUE(AttendreQue([&] { return son.TempsCourant() == "00:00:01"; }));
    son.Positionner(50); // module music cannot be positioned
    EXPECT_EQ(son.Pourcentage(), -1);
    EXPECT_TRUE(AttendreQue([&] { return son.LectureTerminee(); }, 15000));
}

TEST(Son, UnreadableFilesDoNothing)
{
    SonsDeTest sons;
    static const char debutJpeg[] = "\xFF\xD8\xFF\xE0 pas une image";
    const std::string chemins[] = {
        sons.Ecrire("vide.wav", {}),
        sons.Ecrire("photo.mp3", QByteArray(debutJpeg, sizeof debutJpeg - 1)),
        sons.Ecrire("coupee.mid", SonsDeTest::Midi(true)),
        "/nulle/part/absent.ogg",
    };
    Son son;
    for (const std::string& chemin : chemins) {
        son.Ouvrir(chemin, false);
        ASSERT_TRUE(Charge(son)) << chemin;
        EXPECT_FALSE(son.Echec().isEmpty()) << chemin;
        EXPECT_EQ(son.DureeTotale(), "") << chemin;
        EXPECT_EQ(son.TempsCourant(), "00:00:00") << chemin;
        EXPECT_EQ(son.Pourcentage(), -1) << chemin;
        EXPECT_FALSE(son.LectureTerminee()) << chemin;
        son.Ouvrir(chemin, true);
        son.Pause(true);
        son.Ouvrir(chemin, true);
        son.Positionner(50);
        son.Stop();
        ASSERT_TRUE(Charge(son)) << chemin;
        EXPECT_EQ(son.Pourcentage(), -1) << chemin;
        EXPECT_TRUE(son.FichierCourant.empty()) << chemin;
    }
}

TEST(Son, ADamagedMp3OrAFileDeletedWhilePlaying)
{
    SonsDeTest sons;
    // An MP3 whose middle is overwritten: it still opens and plays through.
    const std::string abime = sons.Sinus("abime.mp3", 440, 2);
    ASSERT_FALSE(abime.empty());
    {
        std::fstream fichier(abime, std::ios::in | std::ios::out | std::ios::binary);
        fichier.seekp(static_cast<std::streamoff>(std::filesystem::file_size(abime) / 2));
        const std::string bruit(4000, '\x5A');
        fichier.write(bruit.data(), static_cast<std::streamsize>(bruit.size()));
    }
    Son son;
    son.Ouvrir(abime, true);
    ASSERT_TRUE(Charge(son));
    EXPECT_EQ(son.DureeTotale(), "00:00:02");
    ASSERT_TRUE(QTest::qWaitFor([&] { return son.LectureTerminee(); }, 10000));

    // A file deleted while it plays: it plays what was read, then stop and
    // play again find nothing, without a fault.
    const std::string efface = sons.Sinus("efface.wav", 440, 3);
    son.Ouvrir(efface, true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return son.Pourcentage() > 5; }, 5000));
    std::filesystem::remove(efface);
    ASSERT_TRUE(AttendreBlocs(son, 5));
    son.Stop();
    ASSERT_TRUE(Charge(son));
    EXPECT_EQ(son.Pourcentage(), -1);
    EXPECT_EQ(son.TempsCourant(), "00:00:00");
    EXPECT_EQ(son.Echec(), "Lecture impossible : fichier introuvable");
    son.Ouvrir(efface, true);
    ASSERT_TRUE(Charge(son));
    EXPECT_EQ(son.Pourcentage(), -1);
}

TEST(AnimationSon, SilenceDrawsTheMiddleLineAndSpectrumValuesDrawClippedBars)
{
    AnimationSon animation;
    // Nothing was mixed: the ring holds silence.
    animation.DessinerOnde();
    const QImage& onde = animation.Pixels();
    for (int x = 0; x < AnimationSon::LargeurPixels; ++x)
        for (int y = 0; y < AnimationSon::HauteurPixels; ++y)
            ASSERT_EQ(Pixel(onde, x, y), y == 61 ? AnimationSon::GrisMoyen : AnimationSon::GrisClair) << x << "," << y;

    float spectre[AnimationSon::LargeurPixels] = {};
    spectre[0] = 0.1f;
    spectre[1] = 0.25f;
    spectre[2] = 3.0f;
    spectre[3] = -0.5f;
    spectre[4] = 0.01f;
    animation.PeindreSpectre(spectre);
    const QImage& barres = animation.Pixels();
    EXPECT_EQ(HauteurBarre(barres, 0), 49);
    EXPECT_EQ(HauteurBarre(barres, 1), 122);
    EXPECT_EQ(HauteurBarre(barres, 2), 122);
    EXPECT_EQ(HauteurBarre(barres, 3), 0);
    EXPECT_EQ(HauteurBarre(barres, 4), 4);
    EXPECT_EQ(Pixel(barres, 1, 0), qRgb(0, 255, 31));
    EXPECT_EQ(Pixel(barres, 1, 121), qRgb(242, 13, 31));
    EXPECT_EQ(Pixel(barres, 1, 122), AnimationSon::GrisClair);
}

TEST(Son, SpectrumOfAPlayingSineHasItsBar)
{
    SonsDeTest sons;
    const std::string chemin = sons.Sinus("la.wav", 440, 3);
    Son son;
    son.Animation().DefinirMode(Dessin::Spectre);
    son.Ouvrir(chemin, true);
    ASSERT_TRUE(AttendreQue([&] { return son.Pourcentage() >= 15; }));
    ASSERT_TRUE(son.Dessiner());
    EXPECT_EQ(HauteurBarre(son.Animation().Pixels(), 10), 122); // 440 Hz: bin 10, about 1.0
    EXPECT_EQ(HauteurBarre(son.Animation().Pixels(), 100), 0);
}

// The drawing follows the sound between blocks: a tick (10 ms) with no new
// block since the last one (a block comes every 23 ms) still draws newer
// samples, in both modes.
TEST(Son, EachTickDrawsNewerSamples)
{
    SonsDeTest sons;
    const std::string chemin = sons.Generer("bruit.wav", "2*random(0)-1", 5);
    ASSERT_FALSE(chemin.empty());
    Son son;
    son.Ouvrir(chemin, true);
    ASSERT_TRUE(AttendreQue([&] { return son.Pourcentage() >= 5; }));
    for (const Dessin mode : {Dessin::Onde, Dessin::Spectre}) {
        son.Animation().DefinirMode(mode);
        int sansBloc = 0, changees = 0;
        QImage avant;
        std::uint64_t blocs = 0;
        QTimer tic;
        tic.setInterval(10);
        QObject::connect(&tic, &QTimer::timeout, [&] {
            ASSERT_TRUE(son.Dessiner());
            const QImage image = son.Animation().Pixels().copy();
            const std::uint64_t recus = son.Animation().BlocsRecus();
            if (!avant.isNull() && recus == blocs) {
                ++sansBloc;
                changees += image != avant;
            }
            avant = image;
            blocs = recus;
        });
        tic.start();
        ASSERT_TRUE(AttendreQue([&] { return sansBloc >= 20; }, 10000)) << int(mode);
        tic.stop();
        EXPECT_GE(changees * 2, sansBloc) << int(mode) << ": " << changees << " of " << sansBloc;
    }
}

// The Son panel built in a window of its own, as the program builds it.
class PanneauSonTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fenetre_.resize(600, 450);
        fenetre_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&fenetre_));
    }
    template <typename T>
    T* Composant(const char* nom)
    {
        return fenetre_.findChild<T*>(nom);
    }

    QWidget fenetre_;
    const TFormImage skin_;
    Son son_;
    PanneauSon panneau_{&fenetre_, skin_, son_};
};

TEST_F(PanneauSonTest, FrameShowsTheDrawingOnlyWhileTheZoneShowsAndThePictureIsFree)
{
    auto* ecran = Composant<EcranSon>("EcranDessin");
    auto* imageSon = Composant<ImageComposant>("ImageSon");
    auto* aucuneAnim = Composant<ImageComposant>("ImageSonAucuneAnim");
    auto* minuterie = Composant<QTimer>("TimerSon");
    ASSERT_TRUE(ecran && imageSon && aucuneAnim && minuterie);
    panneau_.DefinirDessin(Dessin::Onde);
    const QPoint ligneDuSilence(PanneauSon::DessinX + 5, PanneauSon::DessinY + AnimationSon::HauteurPixels - 1 - 61);

    // The Son zone hidden: the panel's ticks draw nothing.
    ASSERT_TRUE(AttendreTics(minuterie, 3));
    EXPECT_FALSE(ecran->Montre());

    panneau_.Montrer(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ecran->Montre(); }));
    QImage vue = fenetre_.grab().toImage();
    EXPECT_EQ(vue.pixel(ligneDuSilence), AnimationSon::GrisMoyen);
    EXPECT_EQ(vue.pixel(ligneDuSilence + QPoint(0, 10)), AnimationSon::GrisClair);

    // A picture in the frame (the missing-file one) stops the drawing.
    imageSon->DefinirImage(skin_.ImgNonTrouve);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !ecran->Montre(); }));
    imageSon->ViderImage();

    // No animation: the still picture shows and nothing is drawn over it.
    panneau_.ChangerAnimation();
    panneau_.ChangerAnimation();
    ASSERT_EQ(son_.Animation().Mode(), Dessin::Aucun);
    EXPECT_FALSE(ecran->Montre());
    EXPECT_TRUE(aucuneAnim->isVisible());
    vue = fenetre_.grab().toImage();
    EXPECT_EQ(vue.pixel(ligneDuSilence), aucuneAnim->grab().toImage().pixel(ligneDuSilence - aucuneAnim->pos()));
    EXPECT_NE(vue.pixel(ligneDuSilence), AnimationSon::GrisMoyen);

    panneau_.ChangerAnimation();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ecran->Montre(); }));
    panneau_.Montrer(false);
    EXPECT_FALSE(ecran->Montre());
    EXPECT_FALSE(aucuneAnim->isVisible());
}

TEST_F(PanneauSonTest, RightClickCyclesTheDrawingAndAnnouncesIt)
{
    auto* imageSon = Composant<ImageComposant>("ImageSon");
    auto* aucuneAnim = Composant<ImageComposant>("ImageSonAucuneAnim");
    QSignalSpy changements(&panneau_, &PanneauSon::DessinChange);

    panneau_.DefinirDessin(Dessin::Aucun);
    EXPECT_EQ(changements.count(), 0); // the stored choice is no change
    EXPECT_EQ(aucuneAnim->Tag, 1);
    EXPECT_TRUE(aucuneAnim->isHidden()); // the zone is not shown
    panneau_.Montrer(true);
    ASSERT_TRUE(aucuneAnim->isVisible());

    QTest::mouseClick(aucuneAnim, Qt::RightButton); // the waveform
    ASSERT_EQ(changements.count(), 1);
    EXPECT_EQ(changements.last().at(0).value<Dessin>(), Dessin::Onde);
    EXPECT_EQ(aucuneAnim->Tag, 0);
    EXPECT_FALSE(aucuneAnim->isVisible());

    QTest::mouseClick(imageSon, Qt::RightButton); // the spectrum
    ASSERT_EQ(changements.count(), 2);
    EXPECT_EQ(changements.last().at(0).value<Dessin>(), Dessin::Spectre);
    EXPECT_EQ(son_.Animation().Mode(), Dessin::Spectre);
}

// A file still being probed when another is selected: the newer one
// answers, the older one never does.
TEST(Son, TheNewestSelectionWinsOverAProbeUnderWay)
{
    SonsDeTest sons;
    QByteArray bruit(8 << 20, '\0');
    for (int i = 0; i < bruit.size(); ++i)
        bruit[i] = char((static_cast<unsigned>(i) * 7919u + unsigned(i) / 613u) % 251u);
    const std::string lent = sons.Ecrire("bruit.ogg", bruit);
    const std::string trois = sons.Sinus("trois.wav", 440, 3);
    Son son;
    QSignalSpy reponses(&son, &Son::Charge);
    son.Ouvrir(lent, false);
    son.Ouvrir(trois, true);
    ASSERT_TRUE(Charge(son));
    EXPECT_EQ(son.DureeTotale(), "00:00:03");
    EXPECT_TRUE(son.Echec().isEmpty());
    EXPECT_EQ(son.FichierCourant, trois);
    ASSERT_TRUE(AttendreQue([&] { return son.Pourcentage() > 5; }));
    EXPECT_EQ(reponses.count(), 1);
}
