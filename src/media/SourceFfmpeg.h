#pragma once

// A sound file decoded by FFmpeg (wav, mp3, ogg, wma, mp2, mp4/m4a …),
// played as a stream with a length and a position. A thread of its own decodes and resamples to
// 44100 Hz stereo float into a bounded queue that the mixer drains, so
// playing a long file never holds the caller. Opening probes the file:
// call it off the window's thread; the probing is bounded in bytes and in
// time, and can be abandoned. Times are in milliseconds of the file.

#include "media/FileEchantillons.h"
#include "media/SourceAudio.h"
#include "scan/Descripteur.h"
#include "shared/Travailleur.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <stop_token>
#include <string>

class MoteurAudio;
struct AVFormatContext;
struct AVCodecContext;
struct SwrContext;

class SourceFfmpeg : public SourceAudio
{
public:
    // The probing reads at most this much of the file, and gives up after
    // this time or when arret is requested.
    static constexpr std::int64_t OctetsSondage = 1 << 20;
    static constexpr std::chrono::milliseconds DelaiSondage{3000};
    // A declared length beyond this is not believed: the length is unknown.
    static constexpr std::int64_t LongueurMaxMs = std::int64_t(100) * 3600 * 1000;
    // No single allocation of FFmpeg's is larger (set for the whole process
    // at the first opening: a forged header cannot ask for gigabytes; an 8K
    // video frame still fits), nor the buffer one decoded frame is
    // converted into.
    static constexpr std::size_t AllocationMax = std::size_t(256) << 20;
    static constexpr int TramesConvertiesMax = 4 << 20;

    // Null when the file is not a regular file that opens, holds no audio
    // stream, or its decoder does not open. chemin holds the path bytes as
    // on disk.
    static std::unique_ptr<SourceFfmpeg> Ouvrir(MoteurAudio& moteur, const std::string& chemin);
    // The same over a regular file already opened and checked.
    static std::unique_ptr<SourceFfmpeg> Ouvrir(MoteurAudio& moteur, Descripteur fichier, std::stop_token arret = {});
    ~SourceFfmpeg() override;

    // Length of the file as its header says, 0 when unknown or absurd.
    std::int32_t LongueurMs() const { return longueurMs_; }
    // Position reached in the file: where playing started plus what has
    // been played since, whatever the header says.
    std::int32_t Temps() const;
    // Played to its end.
    bool Terminee() const { return terminee_.load(); }

    // Plays from the current position; from the beginning once finished.
    void Jouer();
    // Stops and rewinds to the beginning.
    void Arreter();
    void DefinirPause(bool pause) { pause_ = pause; }
    bool EnLecture() const { return enLecture_.load(); }
    // Goes to ms (clamped to 0 .. length), playing or not.
    void DefinirTemps(std::int32_t ms);

    void Melanger(float* sortie, int trames) override;

private:
    struct Decodeur;
    SourceFfmpeg(MoteurAudio& moteur, std::unique_ptr<Decodeur> decodeur, std::int32_t longueurMs);

    void Demarrer(std::int32_t departMs);
    void ArreterDecodage();
    void Decoder(std::int32_t departMs);
    bool Pousser(const float* trames, int nombre);

    MoteurAudio& moteur_;
    std::unique_ptr<Decodeur> decodeur_;
    const std::int32_t longueurMs_;
    FileEchantillons file_;

    std::unique_ptr<Travailleur> fil_; // one per decoding run
    std::mutex attente_;
    std::condition_variable reveil_;
    std::atomic<bool> finDemandee_{false};
    std::atomic<bool> finFichier_{false}; // the decoder has queued its last frame

    std::atomic<bool> enLecture_{false};
    std::atomic<bool> pause_{false};
    std::atomic<bool> terminee_{false};
    std::atomic<std::int32_t> departMs_{0};
    std::atomic<std::int64_t> tramesJouees_{0};
};
