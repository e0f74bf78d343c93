// The spectrum's scaling on exact signals: a full-scale sine centred on a
// bin reads 1.0 there, half scale 0.5, and nothing far from it.

#include "media/Spectre.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

std::vector<float> SinusCentre(int bin, float amplitude)
{
    std::vector<float> s(Spectre::Taille);
    for (int n = 0; n < Spectre::Taille; ++n)
        s[size_t(n)] = amplitude * float(std::sin(2.0 * std::numbers::pi * bin * n / Spectre::Taille + 0.3));
    return s;
}

} // namespace

TEST(Spectre, AFullScaleSineGivesItsAmplitudeAtItsBin)
{
    Spectre spectre;
    for (const float amplitude : {1.0f, 0.5f}) {
        const auto signal = SinusCentre(20, amplitude);
        const float* v = spectre.Calculer(signal.data());
        EXPECT_NEAR(v[20], amplitude, 1e-3f);
        // The Hann window spreads it over the two neighbours only.
        EXPECT_NEAR(v[19], amplitude / 2, 1e-3f);
        EXPECT_LT(v[23], 1e-3f);
        EXPECT_LT(v[200], 1e-3f);
    }
    std::vector<float> silence(Spectre::Taille, 0.0f);
    const float* v = spectre.Calculer(silence.data());
    for (int k = 0; k < Spectre::NombreValeurs; ++k)
        ASSERT_EQ(v[k], 0.0f) << k;
}
