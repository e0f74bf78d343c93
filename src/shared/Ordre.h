#pragma once

// The three orders in which a category's files are shown, one tree each.
// The values are those of the drop-down (item index + 1) and of the four
// stored tree settings.

#include <array>
#include <cstdint>

enum class Ordre : int32_t { Extension = 1, Alphabetique = 2, Repertoire = 3, Taille = 4 };
// Taille, the files of a category biggest first, is a fourth way to show a
// category, not one of the three stored orders: NombreOrdres, Ordres and
// OrdreValide keep to those three.

inline constexpr int NombreOrdres = 3;
inline constexpr std::array<Ordre, NombreOrdres> Ordres = {Ordre::Extension, Ordre::Alphabetique, Ordre::Repertoire};

constexpr bool OrdreValide(int32_t ordre)
{
    return ordre >= static_cast<int32_t>(Ordre::Extension) && ordre <= static_cast<int32_t>(Ordre::Repertoire);
}

constexpr int Code(Ordre ordre)
{
    return static_cast<int>(ordre);
}
