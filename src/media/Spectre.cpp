#include "media/Spectre.h"

#include <fftw3.h>

#include <cmath>
#include <numbers>

std::mutex& Spectre::VerrouPlans()
{
    static std::mutex verrou;
    return verrou;
}

Spectre::Spectre()
{
    for (int n = 0; n < Taille; ++n)
        fenetre_[n] = float(0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * n / Taille));
    for (float& v : valeurs_)
        v = 0.0f;
    std::lock_guard<std::mutex> verrou(VerrouPlans());
    entree_ = fftwf_alloc_real(Taille);
    auto* sortie = fftwf_alloc_complex(Taille / 2 + 1);
    sortie_ = sortie;
    plan_ = fftwf_plan_dft_r2c_1d(Taille, entree_, sortie, FFTW_ESTIMATE);
}

Spectre::~Spectre()
{
    std::lock_guard<std::mutex> verrou(VerrouPlans());
    fftwf_destroy_plan(plan_);
    fftwf_free(sortie_);
    fftwf_free(entree_);
}

const float* Spectre::Calculer(const float* echantillons)
{
    for (int n = 0; n < Taille; ++n)
        entree_[n] = echantillons[n] * fenetre_[n];
    fftwf_execute(plan_);
    const auto* sortie = static_cast<const fftwf_complex*>(sortie_);
    constexpr float Echelle = 4.0f / Taille; // 2 ÷ Σw, Σw = Taille ÷ 2 for Hann
    for (int k = 0; k < NombreValeurs; ++k)
        valeurs_[k] = std::hypot(sortie[k][0], sortie[k][1]) * Echelle;
    return valeurs_;
}
