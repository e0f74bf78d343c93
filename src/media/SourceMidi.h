#pragma once

// A MIDI song, played as music without a length: recognised by its content
// ("MThd" and whole chunks), rendered by FluidSynth with Debian's General
// MIDI SoundFont inside the mixer. It has no length and cannot be
// positioned; its time is the time played since it started.

#include "media/SourceAudio.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class MoteurAudio;
struct _fluid_hashtable_t;
struct _fluid_synth_t;
struct _fluid_player_t;

class SourceMidi : public SourceAudio
{
public:
    static constexpr const char* PoliceSons = "/usr/share/sounds/sf2/default-GM.sf2";

    // True when the bytes are a whole standard MIDI file.
    static bool EstMidi(const std::vector<std::uint8_t>& octets);
    // Null when the file is not a regular file holding a whole MIDI song.
    // chemin holds path bytes.
    static std::unique_ptr<SourceMidi> Charger(MoteurAudio& moteur, const std::string& chemin);
    // The same from a regular file already opened and checked, read from
    // its beginning. Loads the SoundFont when none is kept: call it off the
    // window's thread.
    static std::unique_ptr<SourceMidi> Charger(MoteurAudio& moteur, int fichier);
    ~SourceMidi() override;

    // Starts the song from its beginning.
    void Jouer();
    // Silences the song; the next Jouer starts it again.
    void Arreter();
    void DefinirPause(bool pause) { pause_ = pause; }
    // The song has played to its end and its last note has died away.
    bool Terminee() const { return terminee_.load(); }
    bool EnLecture() const { return enLecture_.load(); }
    // Milliseconds played since the song started.
    std::int32_t Temps() const;

    void Melanger(float* sortie, int trames) override;

private:
    SourceMidi(MoteurAudio& moteur, std::vector<std::uint8_t> octets);
    bool Preparer();
    void LibererLecteur();

    MoteurAudio& moteur_;
    std::vector<std::uint8_t> octets_;
    std::vector<float> rendu_; // one block, rendered before it is added
    _fluid_hashtable_t* reglages_ = nullptr;
    _fluid_synth_t* synthe_ = nullptr;
    _fluid_player_t* lecteur_ = nullptr;

    std::atomic<bool> enLecture_{false};
    std::atomic<bool> pause_{false};
    std::atomic<bool> terminee_{false};
    std::atomic<std::int64_t> tramesJouees_{0};
};
