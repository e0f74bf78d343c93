// The sound player on generated files and real widgets: its times, its
// play / pause / stop / seek rules and their 32-bit arithmetic, the capture
// ring, the two drawings and what the frame shows, the drawing setting.

#include "preview/Son.h"

#include "shared/Option.h"
#include "widgets/EcranSon.h"
#include "widgets/ImageComposant.h"

#include "support/Attendre.h"
#include "support/SonsDeTest.h"

#include <QImage>
#include <QTest>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// Description rows count from the bottom.
QRgb Pixel(const QImage& image, int x, int y)
{
    return image.pixel(x, Son::HauteurPixels - 1 - y);
}

int HauteurBarre(const QImage& image, int x)
{
    int h = 0;
    while (h < Son::HauteurPixels && Pixel(image, x, h) != Son::GrisClair)
        ++h;
    return h;
}

int PlusFortEchantillon()
{
    int fort = 0;
    for (const auto& s : Son::TamponEchantillons)
        fort = std::max(fort, std::abs(int(s.load())));
    return fort;
}

}  // namespace

TEST(Son, FormatTemps)
{
    EXPECT_EQ(Son::FormatTemps(0), "00:00:00");
    EXPECT_EQ(Son::FormatTemps(999), "00:00:00");
    EXPECT_EQ(Son::FormatTemps(61000), "00:01:01");
    EXPECT_EQ(Son::FormatTemps(3599999), "00:59:59");
    EXPECT_EQ(Son::FormatTemps(36000000), "10:00:00");
    EXPECT_EQ(Son::FormatTemps(360000000), "100:00:00");
}

TEST(Son, ChargeSansJouerPuisJoueMetEnPauseReprendEtArrete)
{
    SonsDeTest sons;
    const std::string chemin = sons.Sinus("trois.wav", 440, 3);
    Son son;
    int arrets = 0;
    son.LierArretApercu([&] {
        ++arrets;
        son.Stop();
    });

    son.Ouvrir(chemin, false);
    EXPECT_EQ(arrets, 1);
    EXPECT_TRUE(son.FichierCourant.empty());
    EXPECT_EQ(son.DureeTotale(), "00:00:03");
    EXPECT_EQ(son.TempsCourant(), "00:00:00");
    EXPECT_EQ(son.Pourcentage(), 0);
    EXPECT_FALSE(son.LectureTerminee());

    son.Ouvrir(chemin, true);
    EXPECT_EQ(son.FichierCourant, chemin);
    ASSERT_TRUE(AttendreQue([&] { return son.Pourcentage() >= 10; }));
    EXPECT_GT(PlusFortEchantillon(), 30000) << "the full-scale sine reaches the ring";

    son.Pause(true);
    EXPECT_TRUE(son.EnPause);
    QTest::qWait(60);
    const QString tenu = son.TempsCourant();
    const int pourcent = son.Pourcentage();
    QTest::qWait(300);
    EXPECT_EQ(son.Pourcentage(), pourcent);
    EXPECT_EQ(son.TempsCourant(), tenu);

    // Play again resumes where it paused, without reloading.
    son.Ouvrir(chemin, true);
    EXPECT_FALSE(son.EnPause);
    EXPECT_GE(son.Pourcentage(), pourcent);
    ASSERT_TRUE(AttendreQue([&] { return son.Pourcentage() >= pourcent + 5; }));

    // Stop rewinds: the file is reloaded silently through the preview.
    son.Stop();
    EXPECT_EQ(arrets, 2);
    EXPECT_TRUE(son.FichierCourant.empty());
    EXPECT_FALSE(son.EnPause);
    EXPECT_EQ(son.Pourcentage(), 0);
    QTest::qWait(200);
    EXPECT_EQ(son.Pourcentage(), 0);
    EXPECT_EQ(son.DureeTotale(), "00:00:03");
}

TEST(Son, PositionnerEnPourcentDeLaDuree)
{
    SonsDeTest sons;
    // 200 000 ms, kept small: mono 8 kHz.
    const std::string chemin = sons.Generer("long.wav", "0", 200, {"-ar", "8000"});
    ASSERT_FALSE(chemin.empty());
    Son son;
    son.Ouvrir(chemin, false);
    ASSERT_EQ(son.DureeTotale(), "00:03:20");
    son.Positionner(50);   // 50 × 200000 ÷ 100 − 1 = 99 999 ms
    EXPECT_EQ(son.TempsCourant(), "00:01:39");
    EXPECT_EQ(son.Pourcentage(), 49);
    son.Positionner(0);    // −1 ms: the beginning
    EXPECT_EQ(son.TempsCourant(), "00:00:00");
    EXPECT_EQ(son.Pourcentage(), 0);
    son.Positionner(100);
    EXPECT_EQ(son.TempsCourant(), "00:03:19");
}

TEST(Son, UnSonDeDixHeuresSePositionnePartout)
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
    ASSERT_EQ(son.DureeTotale(), "10:00:00");
    // 60 % of 36 000 000 ms is past what 32 bits hold: no jump back.
    son.Positionner(60);
    EXPECT_EQ(son.TempsCourant(), "05:59:59");
    EXPECT_EQ(son.Pourcentage(), 59);
    son.Positionner(99);
    EXPECT_EQ(son.TempsCourant(), "09:53:59");
    EXPECT_EQ(son.Pourcentage(), 98);
}

TEST(Son, UnFluxFiniRepartQuandOnLePositionne)
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

TEST(Son, LaCaptureMoyenneLesDeuxCanaux)
{
    SonsDeTest sons;
    const std::string chemin = sons.Generer("niveaux.wav", "0.5|-0.1", 3);
    Son son;
    son.Ouvrir(chemin, true);
    ASSERT_TRUE(AttendreQue([&] { return son.Pourcentage() >= 20; }));
    // (0.5 − 0.1) ÷ 2 in 16-bit, in every sample of the ring's blocks.
    for (std::size_t i = 0; i < std::size_t(Son::LongueurTotale); ++i)
        ASSERT_NEAR(Son::TamponEchantillons[i].load(), 6553, 3) << i;
}

TEST(Son, MidiSansDureeNiPosition)
{
    SonsDeTest sons;
    const std::string chemin = sons.Ecrire("chanson.mid", SonsDeTest::Midi());
    Son son;
    son.Ouvrir(chemin, true);
    EXPECT_TRUE(son.MusiqueChargee());
    EXPECT_FALSE(son.FluxCharge());
    EXPECT_EQ(son.DureeTotale(), "");
    EXPECT_EQ(son.Pourcentage(), -1);
    ASSERT_TRUE(AttendreQue([&] { return PlusFortEchantillon() > 300; }, 5000)) << "heard in the mix";
    EXPECT_TRUE(AttendreQue([&] { return son.TempsCourant() == "00:00:01"; }));
    son.Positionner(50);   // module music cannot be positioned
    EXPECT_EQ(son.Pourcentage(), -1);
    EXPECT_TRUE(AttendreQue([&] { return son.LectureTerminee(); }, 15000));
}

TEST(Son, LesFichiersIlliblesNeFontRien)
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
        EXPECT_EQ(son.DureeTotale(), "") << chemin;
        EXPECT_EQ(son.TempsCourant(), "00:00:00") << chemin;
        EXPECT_EQ(son.Pourcentage(), -1) << chemin;
        EXPECT_FALSE(son.LectureTerminee()) << chemin;
        son.Ouvrir(chemin, true);
        son.Pause(true);
        son.Ouvrir(chemin, true);
        son.Positionner(50);
        son.Stop();
        EXPECT_EQ(son.Pourcentage(), -1) << chemin;
        EXPECT_TRUE(son.FichierCourant.empty()) << chemin;
    }
}

TEST(Son, UnMp3AbimeOuUnFichierEffaceEnCoursDeLecture)
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
    EXPECT_EQ(son.DureeTotale(), "00:00:02");
    ASSERT_TRUE(QTest::qWaitFor([&] { return son.LectureTerminee(); }, 10000));

    // A file deleted while it plays: it plays what was read, then stop and
    // play again find nothing, without a fault.
    const std::string efface = sons.Sinus("efface.wav", 440, 3);
    son.Ouvrir(efface, true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return son.Pourcentage() > 5; }, 5000));
    std::filesystem::remove(efface);
    QTest::qWait(100);
    son.Stop();
    EXPECT_EQ(son.Pourcentage(), -1);
    EXPECT_EQ(son.TempsCourant(), "00:00:00");
    son.Ouvrir(efface, true);
    EXPECT_EQ(son.Pourcentage(), -1);
}

TEST(Son, OndeDuSilenceEtBarresDuSpectre)
{
    Son son;
    // Nothing plays: the ring holds silence.
    son.DessinerOnde(nullptr);
    const QImage& onde = son.Pixels();
    for (int x = 0; x < Son::LargeurPixels; ++x)
        for (int y = 0; y < Son::HauteurPixels; ++y)
            ASSERT_EQ(Pixel(onde, x, y), y == 61 ? Son::GrisMoyen : Son::GrisClair) << x << "," << y;

    float spectre[Son::LargeurPixels] = {};
    spectre[0] = 0.1f;
    spectre[1] = 0.25f;
    spectre[2] = 3.0f;
    spectre[3] = -0.5f;
    spectre[4] = 0.01f;
    son.PeindreSpectre(spectre);
    const QImage& barres = son.Pixels();
    EXPECT_EQ(HauteurBarre(barres, 0), 49);
    EXPECT_EQ(HauteurBarre(barres, 1), 122);
    EXPECT_EQ(HauteurBarre(barres, 2), 122);
    EXPECT_EQ(HauteurBarre(barres, 3), 0);
    EXPECT_EQ(HauteurBarre(barres, 4), 4);
    EXPECT_EQ(Pixel(barres, 1, 0), qRgb(0, 255, 31));
    EXPECT_EQ(Pixel(barres, 1, 121), qRgb(242, 13, 31));
    EXPECT_EQ(Pixel(barres, 1, 122), Son::GrisClair);
}

TEST(Son, LeSpectreDUnSinusJoue)
{
    SonsDeTest sons;
    const std::string chemin = sons.Sinus("la.wav", 440, 3);
    Son son;
    son.Ouvrir(chemin, true);
    ASSERT_TRUE(AttendreQue([&] { return son.Pourcentage() >= 15; }));
    son.DessinerSpectre(nullptr);
    EXPECT_EQ(HauteurBarre(son.Pixels(), 10), 122);   // 440 Hz: bin 10, about 1.0
    EXPECT_EQ(HauteurBarre(son.Pixels(), 100), 0);
}

TEST(Son, LeCadreMontreLeDessinSeulementQuandIlLePeut)
{
    QWidget fenetre;
    fenetre.resize(600, 450);
    auto* aucuneAnim = new ImageComposant(&fenetre, QRect(413, 105, 160, 160));
    QImage fixe(160, 160, QImage::Format_RGB32);
    fixe.fill(Qt::blue);
    aucuneAnim->DefinirImage(fixe);
    auto* imageSon = new ImageComposant(&fenetre, QRect(413, 105, 160, 160));
    auto* ecran = new EcranSon(&fenetre, QRect(Son::DessinX, Son::DessinY, EcranSon::Largeur, EcranSon::Hauteur));
    fenetre.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&fenetre));

    Son son;
    son.LierImages(imageSon, aucuneAnim);
    son.Initialiser(ecran, 1);
    const QPoint ligneDuSilence(Son::DessinX + 5, Son::DessinY + Son::HauteurPixels - 1 - 61);

    // The Son zone hidden: nothing drawn.
    son.Dessiner();
    EXPECT_FALSE(ecran->Montre());

    son.ActiverDessin(true);
    son.Dessiner();
    EXPECT_TRUE(ecran->Montre());
    QImage vue = fenetre.grab().toImage();
    EXPECT_EQ(vue.pixel(ligneDuSilence), Son::GrisMoyen);
    EXPECT_EQ(vue.pixel(ligneDuSilence + QPoint(0, 10)), Son::GrisClair);

    // A picture in the frame (the missing-file one) stops the drawing.
    imageSon->DefinirImage(fixe);
    son.Dessiner();
    EXPECT_FALSE(ecran->Montre());
    imageSon->ViderImage();

    // No animation: the still picture shows and nothing is drawn over it.
    son.ChangerAnimation();
    son.ChangerAnimation();
    ASSERT_EQ(son.Animation, Son::AucuneAnimation);
    son.Dessiner();
    EXPECT_FALSE(ecran->Montre());
    vue = fenetre.grab().toImage();
    EXPECT_EQ(vue.pixel(ligneDuSilence), QColor(Qt::blue).rgb());

    son.ChangerAnimation();
    son.Dessiner();
    EXPECT_TRUE(ecran->Montre());
    son.ActiverDessin(false);
    EXPECT_FALSE(ecran->Montre());
}

TEST(Son, ChangerAnimationTientDessinSonEntreUnEtTrois)
{
    ImageComposant aucuneAnim(nullptr);
    Option option;
    Son son;
    son.Lier(&option);
    son.LierImages(nullptr, &aucuneAnim);

    son.Initialiser(nullptr, 3);
    EXPECT_EQ(son.Animation, Son::AucuneAnimation);
    EXPECT_EQ(option.DessinSon, Dessin::Aucun);
    EXPECT_EQ(aucuneAnim.Tag, 1);
    EXPECT_FALSE(aucuneAnim.isHidden());

    son.ChangerAnimation();   // right click: the waveform, stored as 1
    EXPECT_EQ(son.Animation, Son::Onde);
    EXPECT_EQ(option.DessinSon, Dessin::Onde);
    EXPECT_EQ(aucuneAnim.Tag, 0);
    EXPECT_TRUE(aucuneAnim.isHidden());
    son.ChangerAnimation();
    EXPECT_EQ(option.DessinSon, Dessin::Spectre);

    for (const int stocke : {0, 1, 2, 3, 4, -5, 1000}) {
        son.Initialiser(nullptr, stocke);
        EXPECT_EQ(Code(option.DessinSon), stocke >= 1 && stocke <= 3 ? stocke : 1) << stocke;
    }
}
