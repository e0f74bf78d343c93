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

    // 0 to 11, the tree's place in CleArbre::Toutes.
    constexpr size_t Rang() const { return Slot(Cat) * NombreOrdres + static_cast<size_t>(Code(Ord) - 1); }
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
