#pragma once

// Counts the frames the mixer of a MoteurAudio mixes, through its capture
// hook, so that a test can wait until the mixer has run for a length of
// sound ("nothing moved while 200 ms were mixed") instead of for a length
// of wall-clock time, which a loaded machine may spend without mixing at
// all. Takes the engine's capture for its lifetime.

#include "media/MoteurAudio.h"

#include "support/Attendre.h"

#include <atomic>
#include <cstdint>

class CompteurMelange
{
public:
    explicit CompteurMelange(MoteurAudio& moteur) : moteur_(moteur) { moteur_.DefinirCapture(&Compter, this); }
    ~CompteurMelange() { moteur_.DefinirCapture(nullptr, nullptr); }
    CompteurMelange(const CompteurMelange&) = delete;
    CompteurMelange& operator=(const CompteurMelange&) = delete;

    // Frames mixed since this counter was made.
    std::int64_t Trames() const { return trames_.load(std::memory_order_relaxed); }

    // Waits until the mixer has mixed more than the given number of frames
    // from now on; false when the time is up first.
    bool AttendreTrames(std::int64_t trames, int millisecondes = 20000) const
    {
        const std::int64_t depart = Trames();
        return AttendreQue([&] { return Trames() - depart > trames; }, millisecondes);
    }
    // The same for a length of sound in milliseconds.
    bool AttendreMs(int ms, int millisecondes = 20000) const
    {
        return AttendreTrames(std::int64_t(ms) * MoteurAudio::Frequence / 1000, millisecondes);
    }
    // Waits until every block mixed from now on has ended and a whole block
    // begun after this call has been mixed: what was changed before the
    // call is then seen by the mixer.
    bool AttendreBlocSuivant(int millisecondes = 20000) const
    {
        return AttendreTrames(MoteurAudio::LongueurBloc, millisecondes);
    }

private:
    static void Compter(const float*, int trames, void* donnees)
    {
        static_cast<CompteurMelange*>(donnees)->trames_.fetch_add(trames, std::memory_order_relaxed);
    }

    MoteurAudio& moteur_;
    std::atomic<std::int64_t> trames_{0};
};
