#pragma once

// Loads a picture for the 160 × 160 preview frame, upright as the camera's
// orientation tag says, and gives its original (stored) dimensions. JPEG goes through libjpeg at a reduced DCT scale;
// BMP, ICO, PNG and GIF through Qt's readers, PNG straight at frame size. Anything else, a damaged file or a picture
// claiming an absurd size is refused, never half-decoded. The work of a load is bounded: a JPEG by the decoder's budget
// (pixels covered by each of its scans), Qt's readers, which go over each pixel once, by the picture's pixels. Safe to
// call from any thread.

#include <QImage>
#include <QSize>

#include <cstdint>
#include <stop_token>
#include <string>

class ChargeurImage
{
public:
    struct Resultat
    {
        QImage Image; // fits in the frame; a smaller picture keeps its size
        int LargeurOrigine = 0;
        int HauteurOrigine = 0;
        // Why the file could not be opened ("Lecture impossible : …"); empty
        // when it was opened and is no picture it can decode.
        std::string Echec;
    };

    static constexpr int Cote = 160;
    // Pictures with more pixels than this are refused before anything is
    // decoded; a thread of a picture, however long, is taken.
    static constexpr std::int64_t PixelsMax = 250'000'000;
    // JPEG files are read whole; larger ones are refused.
    static constexpr std::int64_t TailleFichierMax = 512LL * 1024 * 1024;
    // Cap on one picture decoded by Qt at full size, in megabytes.
    static constexpr int AllocationMaxMo = 256;

    // chemin holds the path bytes as on disk. Returns false and leaves
    // resultat empty (but for its Echec when the file cannot be opened) when
    // the file is not a regular non-empty file or does not decode.
    static bool Charger(const std::string& chemin, Resultat& resultat, QSize cadre = QSize(Cote, Cote));
    // Same, giving up (false) as soon as arret is asked to stop while the
    // file is being read, so that an abandoned picture costs little.
    static bool Charger(const std::string& chemin, Resultat& resultat, QSize cadre, std::stop_token arret);
};
