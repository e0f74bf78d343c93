#include "scan/ArenaNoms.h"

#include <cstring>

uint32_t ArenaNoms::Ajouter(std::string_view nom)
{
    const size_t taille = nom.size() + 1;
    if (utilise_ + taille > TailleBloc) {
        if (blocs_.size() == MaxBlocs)
            return Aucun;
        blocs_.push_back(std::make_unique_for_overwrite<char[]>(TailleBloc));
        utilise_ = 0;
    }
    char* destination = blocs_.back().get() + utilise_;
    std::memcpy(destination, nom.data(), nom.size());
    destination[nom.size()] = '\0';
    const size_t offset = (blocs_.size() - 1) * TailleBloc + utilise_;
    utilise_ += taille;
    return static_cast<uint32_t>(offset);
}

std::string_view ArenaNoms::Nom(uint32_t offset) const
{
    const char* debut = blocs_[offset / TailleBloc].get() + offset % TailleBloc;
    return std::string_view(debut);
}

void ArenaNoms::Vider()
{
    blocs_.clear();
    utilise_ = TailleBloc;
}
