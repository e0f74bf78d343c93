#pragma once

// What the sound preview draws while a sound plays. The values are those
// the DessinSon setting stores.

#include <cstdint>

enum class Dessin : int32_t { Onde = 1, Spectre = 2, Aucun = 3 };

constexpr bool DessinValide(int32_t dessin)
{
    return dessin >= static_cast<int32_t>(Dessin::Onde) && dessin <= static_cast<int32_t>(Dessin::Aucun);
}

constexpr int Code(Dessin dessin)
{
    return static_cast<int>(dessin);
}
