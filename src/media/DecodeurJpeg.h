#pragma once

// JPEG decoding straight over libjpeg, for the preview: decodes at a reduced
// DCT scale when only a small picture is needed, and refuses corrupt,
// truncated or oversized files instead of showing a half-grey picture, and
// files that would cost more work than any real photo. A stop request ends
// a decode within a row of blocks.

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <cstdint>
#include <stop_token>

class DecodeurJpeg
{
public:
    struct Resultat
    {
        QImage Image; // Format_RGBX8888
        int LargeurOrigine = 0;
        int HauteurOrigine = 0;
    };

    // Pictures larger than this are refused before anything is decoded.
    static constexpr std::int64_t PixelsMax = 250'000'000;
    static constexpr int CoteMax = 65500;
    // Files larger than this are not even read.
    static constexpr std::int64_t TailleFichierMax = 512LL * 1024 * 1024;
    // Cap on libjpeg's own working memory (coefficient buffers of progressive files).
    static constexpr long MemoireLibJpegMax = 1024L * 1024 * 1024;
    // Work allowed for one picture: the pixels each scan of the file covers,
    // added up over its scans. Sixteen passes over the largest picture; a
    // progressive photo takes three to five.
    static constexpr std::int64_t TravailMax = 16 * PixelsMax;

    // Decodes a whole JPEG held in memory. When `cible` is valid, decodes at the
    // smallest scale M/8 (M = 1..8) whose result still covers the picture fitted
    // proportionally into `cible`. Returns false and leaves `resultat` empty on
    // any error, past the work budget, or once `arret` is asked to stop.
    static bool Decoder(const QByteArray& donnees, Resultat& resultat, QSize cible = {},
                        const std::stop_token& arret = {});
    // Same, reading the file first; refuses directories, missing and huge files.
    static bool DecoderFichier(const QString& chemin, Resultat& resultat, QSize cible = {});

    // The scale numerator (over 8) Decoder picks for a picture of `origine`.
    static int Echelle(QSize origine, QSize cible);
};
