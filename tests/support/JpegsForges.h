#pragma once

// A JPEG built byte by byte, as no encoder would write it: a progressive
// picture whose one scan comes again and again.

#include <QByteArray>

#include <cstdint>
#include <initializer_list>

namespace JpegsForges {

inline QByteArray Octets(std::initializer_list<int> valeurs)
{
    QByteArray octets;
    for (const int valeur : valeurs)
        octets += char(valeur & 0xFF);
    return octets;
}

// A progressive grayscale largeur × hauteur picture, flat grey: one DC scan,
// then the same AC scan `repetitions` times. With one code, "0", per table,
// every scan is zero bytes: a bit per block for the DC, then runs of 2^14
// empty blocks. Each AC scan makes the decoder visit every block again; a
// refinement looks at its 63 coefficients, a first scan only skips it.
inline QByteArray BalayagesRepetes(int largeur, int hauteur, int repetitions, bool affinage = true)
{
    const auto segment = [](QByteArray& sortie, int marqueur, const QByteArray& contenu) {
        const int longueur = int(contenu.size()) + 2;
        sortie += Octets({0xFF, marqueur, longueur >> 8, longueur}) + contenu;
    };
    constexpr int BitsParRun = 15; // the code and 14 bits
    constexpr std::int64_t BlocsParRun = 1 << 14;
    const std::int64_t blocs = std::int64_t((largeur + 7) / 8) * ((hauteur + 7) / 8);
    const std::int64_t runs = (blocs + BlocsParRun - 1) / BlocsParRun;

    QByteArray jpeg("\xFF\xD8", 2);
    segment(jpeg, 0xDB, QByteArray(1, '\0') + QByteArray(64, '\1'));
    segment(jpeg, 0xC2, Octets({8, hauteur >> 8, hauteur, largeur >> 8, largeur, 1, 1, 0x11, 0}));
    const QByteArray unCode = QByteArray(1, '\1') + QByteArray(15, '\0');
    segment(jpeg, 0xC4, Octets({0x00}) + unCode + Octets({0x00})); // DC: no change
    segment(jpeg, 0xC4, Octets({0x10}) + unCode + Octets({0xE0})); // AC: a run
    segment(jpeg, 0xDA, Octets({1, 1, 0x00, 0, 0, 0}));
    jpeg += QByteArray(qsizetype((blocs + 7) / 8), '\0');
    for (int n = 0; n < repetitions; ++n) {
        // AC 1..63 of bit 0: refined, or first coded.
        segment(jpeg, 0xDA, Octets({1, 1, 0x00, 1, 63, affinage ? 0x10 : 0x00}));
        jpeg += QByteArray(qsizetype((runs * BitsParRun + 7) / 8), '\0');
    }
    return jpeg + QByteArray("\xFF\xD9", 2);
}

} // namespace JpegsForges
