#pragma once

// The spectrum of the last mixed samples: 512 magnitudes from a 1024-point
// FFT (FFTW, single precision) under a Hann window. Scaling: each
// magnitude is |X[k]| × 2 ÷ Σw = |X[k]| × 4 ÷ 1024, so a sine of amplitude
// A centred on bin k reads A there (a full-scale sine reads 1.0; between
// two bins the Hann window lowers the peak to no less than about 0.85 A).
// Bin k covers k × 44100 ÷ 1024 Hz (about 43 Hz per bin).

#include <mutex>

struct fftwf_plan_s;

class Spectre
{
public:
    static constexpr int Taille = 1024;
    static constexpr int NombreValeurs = 512;

    Spectre();
    ~Spectre();
    Spectre(const Spectre&) = delete;
    Spectre& operator=(const Spectre&) = delete;

    // Magnitudes of Taille mono samples; the result stays valid until the
    // next call. One thread at a time.
    const float* Calculer(const float* echantillons);

private:
    // FFTW's planner is not thread-safe: plans are made and destroyed
    // under this lock only.
    static std::mutex& VerrouPlans();

    float* entree_ = nullptr;
    void* sortie_ = nullptr; // fftwf_complex[Taille / 2 + 1]
    fftwf_plan_s* plan_ = nullptr;
    float fenetre_[Taille];
    float valeurs_[NombreValeurs];
};
