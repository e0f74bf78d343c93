#include "shared/Textes.h"

#include <algorithm>

namespace {

constexpr int TailleGroupe = 3;
constexpr int64_t UnKilo = 1024;
constexpr int NombreUnites = 4;
constexpr const char* Unites[NombreUnites] = {" Ko", " Mo", " Go", " To"};
constexpr int64_t MillisecondesParSeconde = 1000;
constexpr int64_t SecondesParMinute = 60;
constexpr int64_t SecondesParHeure = 3600;

// At least two digits: "05", "59", "100".
QString DeuxChiffres(int64_t n)
{
    return (n < 10 ? QStringLiteral("0") : QString()) + QString::number(n);
}

} // namespace

std::string Textes::Nombre(int64_t nombre)
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

std::string Textes::Taille(int64_t octets)
{
    if (octets <= 0)
        return "0 Ko";
    if (octets < UnKilo)
        return "1 Ko";
    int n = 0;
    do {
        octets /= UnKilo;
        ++n;
    } while (octets >= UnKilo && n < NombreUnites);
    return Nombre(octets) + Unites[n - 1];
}

QString Textes::Temps(int64_t millisecondes)
{
    int64_t s = std::max<int64_t>(millisecondes, 0) / MillisecondesParSeconde;
    const int64_t h = s / SecondesParHeure;
    s -= h * SecondesParHeure;
    const int64_t m = s / SecondesParMinute;
    s -= m * SecondesParMinute;
    return DeuxChiffres(h) + ':' + DeuxChiffres(m) + ':' + DeuxChiffres(s);
}

std::string Textes::Groupe(int64_t nombre, std::string_view quoi)
{
    std::string texte = "(";
    texte.append(Nombre(nombre)).append(") ").append(quoi);
    return texte;
}
