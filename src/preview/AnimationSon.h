#pragma once

// The live drawing of what the mixer plays: the waveform of the samples
// being played or the bars of their spectrum, drawn into one pre-allocated
// 320 × 123 picture (rows counted from the bottom). The mixer hands every
// mixed block to Capturer, which keeps the last samples in a ring with the
// time it got them: a frame shows the block's length of samples that ends
// where the sound has got to since, so that each tick (10 ms) draws newer
// samples than the last, though a block comes only every 23 ms.

#include "media/MoteurAudio.h"
#include "media/Spectre.h"
#include "shared/Dessin.h"

#include <QImage>

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

class AnimationSon
{
public:
    static constexpr int LargeurPixels = 320;
    static constexpr int HauteurPixels = 123;
    static constexpr QRgb GrisClair = 0xFFF4F4F4; // background, 244
    static constexpr QRgb GrisMoyen = 0xFF707070; // waveform, 112
    static constexpr int HauteurBarreMax = HauteurPixels - 1;

    static constexpr int LongueurBloc = MoteurAudio::LongueurBloc;
    static constexpr int LongueurTotale = MoteurAudio::LongueurTotale;
    static constexpr int NombreBlocs = LongueurTotale / LongueurBloc;

    AnimationSon();
    AnimationSon(const AnimationSon&) = delete;
    AnimationSon& operator=(const AnimationSon&) = delete;

    Dessin Mode() const { return mode_; }
    void DefinirMode(Dessin mode) { mode_ = mode; }
    // The next mode, as a right click on the panel takes it: waveform,
    // spectrum, none, waveform again.
    Dessin ModeSuivant();

    // One frame of the current mode; false when nothing was drawn (no
    // animation, or no spectrum computed yet).
    bool Dessiner(MoteurAudio& moteur);
    void DessinerOnde();
    // The bars of 320 spectrum values.
    void PeindreSpectre(const float* spectre);

    const QImage& Pixels() const { return pixels_; }

    // The mixer's capture: averages each stereo pair of the block into the
    // next block of the ring. Mixer thread; no allocation, no lock.
    static void Capturer(const float* melange, int trames, void* animation);
    // A sample of the ring (tests).
    std::int16_t Echantillon(int index) const { return echantillons_[size_t(index)].load(); }
    // Samples the mixer has handed over so far.
    std::uint64_t EchantillonsRecus() const { return recus_.load(std::memory_order_acquire); }
    // Blocks the mixer has handed over so far, playing or not.
    std::uint64_t BlocsRecus() const { return blocsRecus_.load(std::memory_order_relaxed); }

private:
    void Peindre(int x, int y, QRgb couleur);
    // Ring index of the first of the LongueurBloc samples being played now.
    std::uint64_t DebutFenetre() const;

    QImage pixels_;
    Dessin mode_ = Dessin::Onde;
    // Shared with the mixer thread: the last mixed blocks, mono, 16-bit.
    // Each sample is atomic (relaxed, free on this machine): the drawing
    // may read a block the mixer is writing when it laps the drawing.
    std::array<std::atomic<std::int16_t>, LongueurTotale> echantillons_{};
    std::atomic<std::uint64_t> recus_{0};      // samples written, published last
    std::atomic<std::int64_t> instantRecu_{0}; // steady clock (ns) of the last block
    std::atomic<std::uint64_t> blocsRecus_{0};
    std::unique_ptr<Spectre> spectre_;
    float fenetre_[Spectre::Taille] = {};
};
