#include "scan/ArenaNoms.h"

#include <cstring>

uint32_t ArenaNoms::Ajouter(std::string_view nom)
{
    const size_t taille = nom.size() + 1;
    if (utilise_ + taille > TailleBloc) {
        if (nombreBlocs_ == MaxBlocs)
            return Aucun;
        blocs_[nombreBlocs_++] = std::make_unique_for_overwrite<char[]>(TailleBloc);
        utilise_ = 0;
    }
    char* destination = blocs_[nombreBlocs_ - 1].get() + utilise_;
    std::memcpy(destination, nom.data(), nom.size());
    destination[nom.size()] = '\0';
    const size_t offset = (nombreBlocs_ - 1) * TailleBloc + utilise_;
    utilise_ += taille;
    return static_cast<uint32_t>(offset);
}

void ArenaNoms::Vider()
{
    while (nombreBlocs_ > 0)
        blocs_[--nombreBlocs_].reset();
    utilise_ = TailleBloc;
}
