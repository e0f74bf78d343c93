#pragma once

// The category of a file, as the extension table gives it, and the helpers
// that turn it into a slot of the per-category arrays. The values are the
// codes the program has always used: 1 Video, 2 Son, 3 Image, 4 Texte, and
// 5 for a file of any other extension, which is dropped.

#include <array>
#include <cstddef>
#include <cstdint>

enum class Categorie : int32_t { Video = 1, Son = 2, Image = 3, Texte = 4, Autre = 5 };

// The four categories that are kept, in code order.
inline constexpr int NombreCategories = 4;
inline constexpr std::array<Categorie, NombreCategories> Categories = {Categorie::Video, Categorie::Son,
                                                                       Categorie::Image, Categorie::Texte};

constexpr bool CategorieValide(Categorie categorie)
{
    return categorie >= Categorie::Video && categorie <= Categorie::Texte;
}

// 0 to 3 for the four kept categories.
constexpr size_t Slot(Categorie categorie)
{
    return static_cast<size_t>(static_cast<int32_t>(categorie) - 1);
}

constexpr int Code(Categorie categorie)
{
    return static_cast<int>(categorie);
}
