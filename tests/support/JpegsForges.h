#pragma once

// JPEG files built byte by byte, for what an encoder would never write: a
// progressive picture whose one scan comes again and again.

#include <QByteArray>

#include <cstdint>

namespace JpegsForges {

// Writes entropy-coded bits, stuffing a zero byte after every 0xFF.
class Bits
{
public:
    explicit Bits(QByteArray& sortie) : sortie_(sortie) {}
    void Ecrire(std::uint32_t valeur, int nombre)
    {
        for (int i = nombre - 1; i >= 0; --i) {
            octet_ = (octet_ << 1) | ((valeur >> i) & 1u);
            if (++remplis_ == 8)
                Vider();
        }
    }
    // Pads the last byte with ones, as the format asks.
    void Terminer()
    {
        while (remplis_ != 0)
            Ecrire(1, 1);
    }

private:
    void Vider()
    {
        sortie_ += char(octet_);
        if (octet_ == 0xFF)
            sortie_ += '\0';
        octet_ = 0;
        remplis_ = 0;
    }
    QByteArray& sortie_;
    std::uint32_t octet_ = 0;
    int remplis_ = 0;
};

inline void Segment(QByteArray& sortie, unsigned char marqueur, const QByteArray& contenu)
{
    const int longueur = int(contenu.size()) + 2;
    sortie += char(0xFF);
    sortie += char(marqueur);
    sortie += char(longueur >> 8);
    sortie += char(longueur & 0xFF);
    sortie += contenu;
}

// A progressive grayscale largeur × hauteur picture, flat grey: one DC scan,
// then the same AC scan `repetitions` times. Each is a handful of
// end-of-band runs, a few bytes, yet makes the decoder visit every block
// again; a refinement scan looks at all 63 coefficients of each, a first
// scan only skips it.
inline QByteArray BalayagesRepetes(int largeur, int hauteur, int repetitions, bool affinage = true)
{
    constexpr int CoteBloc = 8;
    constexpr int LongueursCodes = 16;
    // Symbol 0xE0: a run of 2^14 + (14 more bits) empty blocks.
    constexpr int BitsRun = 14;
    constexpr std::uint32_t RunMax = (1u << 15) - 1;
    const std::int64_t blocs =
        std::int64_t((largeur + CoteBloc - 1) / CoteBloc) * ((hauteur + CoteBloc - 1) / CoteBloc);

    QByteArray jpeg("\xFF\xD8", 2);
    Segment(jpeg, 0xDB, QByteArray(1, '\0') + QByteArray(64, '\1'));
    const char trame[] = {8, char(hauteur >> 8), char(hauteur & 0xFF), char(largeur >> 8),
                          char(largeur & 0xFF), 1, 1, 0x11, 0};
    Segment(jpeg, 0xC2, QByteArray(trame, sizeof trame));
    // One code, "0", in each table: DC "no change", AC the longest run.
    QByteArray table(LongueursCodes, '\0');
    table[0] = 1;
    Segment(jpeg, 0xC4, QByteArray(1, '\x00') + table + QByteArray(1, '\x00'));
    Segment(jpeg, 0xC4, QByteArray(1, '\x10') + table + QByteArray(1, '\xE0'));

    const char dc[] = {1, 1, 0x00, 0, 0, 0x01};   // DC first, bit 1 and up
    Segment(jpeg, 0xDA, QByteArray(dc, sizeof dc));
    {
        Bits bits(jpeg);
        for (std::int64_t i = 0; i < blocs; ++i)
            bits.Ecrire(0, 1);
        bits.Terminer();
    }
    // AC 1..63: refining bit 0, or first scan of bit 0.
    const char ac[] = {1, 1, 0x00, 1, 63, char(affinage ? 0x10 : 0x00)};
    for (int n = 0; n < repetitions; ++n) {
        Segment(jpeg, 0xDA, QByteArray(ac, sizeof ac));
        Bits bits(jpeg);
        for (std::int64_t reste = blocs; reste > 0; reste -= RunMax) {
            bits.Ecrire(0, 1);
            bits.Ecrire(RunMax - (1u << BitsRun), BitsRun);
        }
        bits.Terminer();
    }
    jpeg += QByteArray("\xFF\xD9", 2);
    return jpeg;
}

}  // namespace JpegsForges
