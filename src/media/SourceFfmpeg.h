#pragma once

// A sound file decoded by FFmpeg (wav, mp3, ogg, wma, mp2, mp4/m4a …),
// played as a stream with a length and a position. A thread of its own decodes and resamples to
// 44100 Hz stereo float into a bounded queue that the mixer drains, so
// neither opening nor playing a long file holds the caller. Times are in
// milliseconds of the file.

#include "media/FileEchantillons.h"
#include "media/SourceAudio.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

class MoteurAudio;
struct AVFormatContext;
struct AVCodecContext;
struct SwrContext;

class SourceFfmpeg : public SourceAudio
{
public:
    // Null when the file does not open, holds no audio stream, or its
    // decoder does not open. chemin holds the path bytes as on disk.
    static std::unique_ptr<SourceFfmpeg> Ouvrir(MoteurAudio& moteur, const std::string& chemin);
    ~SourceFfmpeg() override;

    // Length of the file, 0 when unknown.
    std::int32_t LongueurMs() const { return longueurMs_; }
    // Position reached in the file; the length once it has played out.
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

    std::thread fil_;
    std::mutex attente_;
    std::condition_variable reveil_;
    std::atomic<bool> finDemandee_{false};
    std::atomic<bool> finFichier_{false};   // the decoder has queued its last frame

    std::atomic<bool> enLecture_{false};
    std::atomic<bool> pause_{false};
    std::atomic<bool> terminee_{false};
    std::atomic<std::int32_t> departMs_{0};
    std::atomic<std::int64_t> tramesJouees_{0};
};
