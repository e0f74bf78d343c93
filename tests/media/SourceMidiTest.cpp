// MIDI songs through FluidSynth: recognised by content, heard in the mix,
// finished at their end, refused when cut short.

#include "media/MoteurAudio.h"
#include "media/SourceMidi.h"

#include "support/Attendre.h"
#include "support/CompteurMelange.h"
#include "support/SonsDeTest.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

TEST(SourceMidi, RecognisedByItsContent)
{
    const QByteArray entier = SonsDeTest::Midi();
    const QByteArray tronque = SonsDeTest::Midi(true);
    auto octets = [](const QByteArray& a) { return std::vector<std::uint8_t>(a.begin(), a.end()); };
    EXPECT_TRUE(SourceMidi::EstMidi(octets(entier)));
    EXPECT_FALSE(SourceMidi::EstMidi(octets(tronque)));
    EXPECT_FALSE(SourceMidi::EstMidi(octets(entier.left(13))));
    QByteArray autre = entier;
    autre[0] = 'R';
    EXPECT_FALSE(SourceMidi::EstMidi(octets(autre)));

    SonsDeTest sons;
    MoteurAudio moteur;
    // The name does not count: a MIDI song under .wav loads, a .mid that
    // is not one does not.
    EXPECT_TRUE(SourceMidi::Charger(moteur, sons.Ecrire("chanson.wav", entier)));
    EXPECT_FALSE(SourceMidi::Charger(moteur, sons.Ecrire("coupee.mid", tronque)));
    EXPECT_FALSE(SourceMidi::Charger(moteur, sons.Sinus("la.mid", 440, 0.2)));
}

TEST(SourceMidi, PlayedItIsHeardThenEnds)
{
    SonsDeTest sons;
    MoteurAudio moteur;
    auto chanson = SourceMidi::Charger(moteur, sons.Ecrire("chanson.mid", SonsDeTest::Midi()));
    ASSERT_TRUE(chanson);
    EXPECT_FALSE(chanson->EnLecture());
    chanson->Jouer();
    float fort = 0.0f;
    ASSERT_TRUE(AttendreQue(
        [&] {
            float derniers[1024];
            moteur.DerniersEchantillons(derniers, 1024);
            for (float v : derniers)
                fort = std::max(fort, std::abs(v));
            return fort > 0.01f;
        },
        5000));
    EXPECT_TRUE(AttendreQue([&] { return chanson->Terminee(); }, 15000));
    EXPECT_GT(chanson->Temps(), 1400);
    EXPECT_FALSE(chanson->EnLecture());

    // Played again from its beginning.
    chanson->Jouer();
    EXPECT_FALSE(chanson->Terminee());
    EXPECT_LT(chanson->Temps(), 200);
}

// The synthesiser of a song closed in the middle of a note serves the next
// song: nothing of the first is heard, and the second plays from its start.
TEST(SourceMidi, TheNextSongHearsNothingOfThePreviousOne)
{
    SonsDeTest sons;
    MoteurAudio moteur;
    const std::string chemin = sons.Ecrire("chanson.mid", SonsDeTest::Midi());
    auto niveau = [&] {
        float derniers[1024];
        moteur.DerniersEchantillons(derniers, 1024);
        float fort = 0.0f;
        for (float v : derniers)
            fort = std::max(fort, std::abs(v));
        return fort;
    };
    CompteurMelange melange(moteur);
    for (int essai = 0; essai < 3; ++essai) {
        auto chanson = SourceMidi::Charger(moteur, chemin);
        ASSERT_TRUE(chanson);
        // The samples looked at below are all mixed after the load.
        ASSERT_TRUE(melange.AttendreMs(100)) << "try " << essai;
        EXPECT_EQ(niveau(), 0.0f) << "try " << essai << ": heard before it plays";
        chanson->Jouer();
        ASSERT_TRUE(AttendreQue([&] { return niveau() > 0.01f; }, 5000)) << "try " << essai;
        EXPECT_LT(chanson->Temps(), 1000);
    }
}
