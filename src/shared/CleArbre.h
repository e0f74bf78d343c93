#pragma once

// Which of the twelve category trees: a category and an order. The one list
// of the twelve, in the order of their creation (category, then order).

#include "shared/Categorie.h"
#include "shared/Ordre.h"

#include <array>
#include <cstddef>

struct CleArbre
{
    Categorie Cat = Categorie::Video;
    Ordre Ord = Ordre::Extension;

    // 0 to 11, the tree's place in ToutesLesCles; 12 to 15 for the
    // biggest-first lists (Ordre::Taille), their place in ToutesLesVues.
    constexpr size_t Rang() const
    {
        if (Ord == Ordre::Taille)
            return NombreCategories * NombreOrdres + Slot(Cat);
        return Slot(Cat) * NombreOrdres + static_cast<size_t>(Code(Ord) - 1);
    }
    // The tree's tag: category × 10 + order (11 to 43).
    constexpr int Tag() const { return Code(Cat) * 10 + Code(Ord); }

    friend constexpr bool operator==(const CleArbre&, const CleArbre&) = default;
};

inline constexpr int NombreArbres = NombreCategories * NombreOrdres;

inline constexpr std::array<CleArbre, NombreArbres> ToutesLesCles = [] {
    std::array<CleArbre, NombreArbres> cles{};
    for (size_t i = 0; i < cles.size(); ++i)
        cles[i] = CleArbre{Categories[i / NombreOrdres], Ordres[i % NombreOrdres]};
    return cles;
}();

// Every view of the category area: the twelve trees, then each category's
// biggest-first list, in the order of Rang().
inline constexpr int NombreVues = NombreArbres + NombreCategories;

inline constexpr std::array<CleArbre, NombreVues> ToutesLesVues = [] {
    std::array<CleArbre, NombreVues> cles{};
    for (size_t i = 0; i < cles.size(); ++i)
        cles[i] = i < NombreArbres ? ToutesLesCles[i] : CleArbre{Categories[i - NombreArbres], Ordre::Taille};
    return cles;
}();
