// The mixer on real SDL drivers: what it plays reaches the capture and the
// spectrum, the disk driver's file holds the mixed output, and a missing
// driver falls back to the dummy one with playback going on.

#include "media/MoteurAudio.h"
#include "media/SourceFfmpeg.h"

#include "support/Attendre.h"
#include "support/SonsDeTest.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Releve
{
    std::atomic<int> blocs{0};
    std::atomic<float> crete{0.0f};
};

void Relever(const float* melange, int trames, void* donnees)
{
    auto* r = static_cast<Releve*>(donnees);
    float crete = r->crete.load();
    for (int i = 0; i < 2 * trames; ++i)
        crete = std::max(crete, std::abs(melange[i]));
    r->crete = crete;
    ++r->blocs;
}

// Sets an environment variable for the life of the object.
class Environnement
{
public:
    Environnement(const char* nom, const std::string& valeur) : nom_(nom)
    {
        if (const char* v = std::getenv(nom)) {
            ancien_ = v;
            avait_ = true;
        }
        setenv(nom, valeur.c_str(), 1);
    }
    ~Environnement()
    {
        if (avait_)
            setenv(nom_, ancien_.c_str(), 1);
        else
            unsetenv(nom_);
    }

private:
    const char* nom_;
    std::string ancien_;
    bool avait_ = false;
};

int BinDuPic(const float* spectre)
{
    return int(std::max_element(spectre, spectre + Spectre::NombreValeurs) - spectre);
}

} // namespace

TEST(MoteurAudio, APlayedSineReachesTheCaptureAndTheSpectrum)
{
    SonsDeTest sons;
    const std::string wav = sons.Sinus("la.wav", 440, 3);
    const std::string mp3 = sons.Generer("la.mp3", "sin(2*PI*440*t)|sin(2*PI*440*t)", 3);
    ASSERT_FALSE(wav.empty());
    ASSERT_FALSE(mp3.empty());

    MoteurAudio moteur;
    ASSERT_TRUE(moteur.Ouvert());
    Releve releve;
    moteur.DefinirCapture(&Relever, &releve);
    ASSERT_TRUE(AttendreQue([&] { return releve.blocs > 2; }));
    EXPECT_EQ(releve.crete.load(), 0.0f) << "nothing plays yet";

    for (const std::string& chemin : {wav, mp3}) {
        auto source = SourceFfmpeg::Ouvrir(moteur, chemin);
        ASSERT_TRUE(source) << chemin;
        source->Jouer();
        ASSERT_TRUE(AttendreQue([&] { return source->Temps() > 400; })) << chemin;
        EXPECT_GT(releve.crete.load(), 0.9f) << chemin;
        // 440 Hz lies in bin 10 (43 Hz each); between bins the peak dips a little.
        const float* spectre = moteur.LireSpectre();
        ASSERT_NE(spectre, nullptr);
        EXPECT_EQ(BinDuPic(spectre), 10) << chemin;
        EXPECT_NEAR(spectre[10], 1.0f, 0.2f) << chemin;
        EXPECT_LT(spectre[100], 0.01f) << chemin;
    }
}

TEST(MoteurAudio, TheSpectrumIsReadWhileTheMixerWritesItsHistory)
{
    // Read as the drawing does, on this thread, for some ten blocks of the
    // mixer (ThreadSanitizer checks the two threads never race).
    SonsDeTest sons;
    const std::string wav = sons.Sinus("la.wav", 440, 3);
    MoteurAudio moteur;
    auto source = SourceFfmpeg::Ouvrir(moteur, wav);
    ASSERT_TRUE(source);
    source->Jouer();
    ASSERT_TRUE(AttendreQue([&] { return source->Temps() > 400; }));
    const int jusqua = source->Temps() + 10 * 1000 * MoteurAudio::LongueurBloc / MoteurAudio::Frequence;
    int lectures = 0, ailleurs = 0;
    for (; source->Temps() < jusqua && lectures < 10000000; ++lectures)
        ailleurs += BinDuPic(moteur.LireSpectre()) != 10;
    EXPECT_EQ(ailleurs, 0) << "in " << lectures << " readings";
    EXPECT_GE(source->Temps(), jusqua);
}

TEST(MoteurAudio, TheDiskDriverWritesTheMix)
{
    SonsDeTest sons;
    const std::string wav = sons.Generer("niveau.wav", "0.5|0.25", 2);
    ASSERT_FALSE(wav.empty());
    QTemporaryDir dir;
    const std::string sortie = dir.filePath("sortie.raw").toStdString();
    {
        Environnement pilote("SDL_AUDIODRIVER", "disk");
        Environnement fichier("SDL_DISKAUDIOFILE", sortie);
        MoteurAudio moteur;
        ASSERT_EQ(moteur.Pilote(), "disk");
        auto source = SourceFfmpeg::Ouvrir(moteur, wav);
        ASSERT_TRUE(source);
        source->Jouer();
        ASSERT_TRUE(AttendreQue([&] { return source->Temps() > 500; }));
    }
    QFile f(QString::fromStdString(sortie));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray octets = f.readAll();
    // Float stereo frames: some hold the two levels of the file.
    int trouvees = 0;
    for (qsizetype i = 0; i + 8 <= octets.size(); i += 8) {
        float g, d;
        std::memcpy(&g, octets.constData() + i, 4);
        std::memcpy(&d, octets.constData() + i + 4, 4);
        if (std::abs(g - 0.5f) < 1e-3f && std::abs(d - 0.25f) < 1e-3f)
            ++trouvees;
    }
    EXPECT_GT(trouvees, 44100 / 4);
}

TEST(MoteurAudio, WithoutADeviceTheDummyDriverPlaysSilently)
{
    SonsDeTest sons;
    const std::string wav = sons.Sinus("la.wav", 440, 2);
    Environnement pilote("SDL_AUDIODRIVER", "aucun_pilote");
    MoteurAudio moteur;
    EXPECT_EQ(moteur.Pilote(), "dummy");
    ASSERT_TRUE(moteur.Ouvert());
    auto source = SourceFfmpeg::Ouvrir(moteur, wav);
    ASSERT_TRUE(source);
    source->Jouer();
    EXPECT_TRUE(AttendreQue([&] { return source->Temps() > 300; }));
    EXPECT_NE(moteur.LireSpectre(), nullptr);
}
