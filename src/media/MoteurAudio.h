#pragma once

// The sound output and its mixer: one SDL2 audio device at 44100 Hz,
// stereo, float. Its callback adds every attached source into the block,
// hands the block to the capture function, and keeps the last mixed
// samples for the spectrum. When no device opens, SDL's dummy driver takes
// its place: playback goes on silently, in real time.

#include "media/Spectre.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

class SourceAudio;

class MoteurAudio
{
public:
    static constexpr int Frequence = 44100;
    static constexpr int Canaux = 2;
    // Frames per mixed block, and blocks in the capture ring.
    static constexpr int LongueurBloc = 1024;
    static constexpr int NombreBlocs = 4;
    static constexpr int LongueurTotale = LongueurBloc * NombreBlocs;

    // Called on the mixer thread with each mixed block (interleaved
    // stereo float, at most LongueurBloc frames). Must neither allocate
    // nor lock.
    using FonctionCapture = void (*)(const float* melange, int trames, void* donnees);

    MoteurAudio();
    ~MoteurAudio();
    MoteurAudio(const MoteurAudio&) = delete;
    MoteurAudio& operator=(const MoteurAudio&) = delete;

    // A device is running (a real one or the dummy one).
    bool Ouvert() const { return peripherique_ != 0; }
    // The name of the SDL driver in use ("dummy" after a fallback).
    const std::string& Pilote() const { return pilote_; }

    void DefinirCapture(FonctionCapture fonction, void* donnees);

    // The 512 spectrum magnitudes of the last mixed samples (see Spectre),
    // or null when no device runs. User-interface thread.
    const float* LireSpectre();
    // Copies the last nombre mixed samples, averaged to mono, oldest first.
    void DerniersEchantillons(float* destination, int nombre) const;

    // Holds the mixer between two blocks, for changes to what it reads.
    class Verrou
    {
    public:
        explicit Verrou(MoteurAudio& moteur);
        ~Verrou();
        Verrou(const Verrou&) = delete;
        Verrou& operator=(const Verrou&) = delete;

    private:
        MoteurAudio& moteur_;
    };

    // A source is mixed from Attacher until Detacher; both wait for the
    // block being mixed. Attacher fails when every slot is taken.
    bool Attacher(SourceAudio* source);
    void Detacher(SourceAudio* source);

private:
    static constexpr int MaxSources = 8;
    static constexpr int TailleHistorique = 2 * Spectre::Taille; // power of two

    static void Rappel(void* donnees, std::uint8_t* flux, int octets);
    void Melanger(float* sortie, int trames);
    bool OuvrirPeripherique();

    std::uint32_t peripherique_ = 0;
    std::string pilote_;
    // Held by the mixer for a whole block and by Verrou: what it reads
    // (sources, capture, their state) changes only between two blocks. A
    // lock of our own rather than SDL's device lock, whose dummy driver
    // orders nothing that ThreadSanitizer can see.
    std::mutex melange_;
    FonctionCapture capture_ = nullptr;
    void* donneesCapture_ = nullptr;
    SourceAudio* sources_[MaxSources] = {};

    // Mono history of the mixed output, written by the mixer only, read by
    // the window's thread under a sequence lock: the sequence is odd while a
    // block is written, and a reader that saw it change copies again. The
    // mixer never waits; each sample is an atomic, so a torn copy is only
    // ever thrown away, never undefined.
    std::atomic<float> historique_[TailleHistorique];
    std::atomic<std::uint32_t> positionHistorique_{0};
    std::atomic<std::uint32_t> sequenceHistorique_{0};
    std::unique_ptr<Spectre> spectre_;
    float fenetre_[Spectre::Taille] = {};
};
