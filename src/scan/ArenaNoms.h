#pragma once

// File names stored one after another, NUL-terminated, in fixed-size blocks:
// the store grows without ever moving a name, and a name is found again
// from a 32-bit offset. The blocks' table never moves either: a name added
// and handed to another thread (through a lock) may be read there while
// later names are added.

#include <cstdint>
#include <memory>
#include <string_view>

class ArenaNoms
{
public:
    static constexpr size_t TailleBloc = size_t{1} << 20;
    // Longest name accepted (far above NAME_MAX).
    static constexpr size_t LongueurMax = 4095;
    // Offsets are 32-bit: a little under 4 GiB of names.
    static constexpr size_t MaxBlocs = (size_t{1} << 32) / TailleBloc - 1;
    static constexpr uint32_t Aucun = UINT32_MAX;

    // Copies the name in; returns its offset, or Aucun when the arena is
    // full. The name must not be longer than LongueurMax nor contain a NUL.
    uint32_t Ajouter(std::string_view nom);
    std::string_view Nom(uint32_t offset) const
    {
        return std::string_view(blocs_[offset / TailleBloc].get() + offset % TailleBloc);
    }
    void Vider();
    // Bytes held by the blocks.
    size_t Capacite() const { return nombreBlocs_ * TailleBloc; }

private:
    std::unique_ptr<std::unique_ptr<char[]>[]> blocs_ = std::make_unique<std::unique_ptr<char[]>[]>(MaxBlocs);
    size_t nombreBlocs_ = 0;
    size_t utilise_ = TailleBloc; // bytes used in the last block
};
