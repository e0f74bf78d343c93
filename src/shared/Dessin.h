#pragma once

// What the Son panel draws while a sound plays, as the DessinSon setting
// stores it.

#include <cstdint>

enum class Dessin : int32_t { Onde = 1, Spectre = 2, Aucun = 3 };
