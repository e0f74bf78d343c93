#include "shared/TexteNombre.h"

#include <algorithm>

namespace {
constexpr int TailleGroupe = 3;
}

std::string TexteNombre::Grouper(int64_t nombre)
{
    // Work on the magnitude as unsigned so that the smallest value has one.
    const bool negatif = nombre < 0;
    uint64_t reste = negatif ? 0 - static_cast<uint64_t>(nombre) : static_cast<uint64_t>(nombre);
    std::string texte;
    int chiffres = 0;
    do {
        if (chiffres > 0 && chiffres % TailleGroupe == 0)
            texte.push_back(' ');
        texte.push_back(static_cast<char>('0' + reste % 10));
        reste /= 10;
        ++chiffres;
    } while (reste != 0);
    if (negatif)
        texte.push_back('-');
    std::reverse(texte.begin(), texte.end());
    return texte;
}
