#pragma once

// The children of a node, or the top-level nodes of a tree: pointers to
// nodes kept by the model's ReserveNoeuds. One pointer wide while empty;
// the pointers and their count share one allocation. Owns the pointers'
// storage, not the nodes.

#include <cstddef>
#include <cstdint>

struct Noeud;

class ListeEnfants
{
public:
    ListeEnfants() = default;
    ~ListeEnfants();
    ListeEnfants(const ListeEnfants&) = delete;
    ListeEnfants& operator=(const ListeEnfants&) = delete;

    size_t size() const { return bloc_ ? bloc_->Taille : 0; }
    bool empty() const { return size() == 0; }
    Noeud* operator[](size_t i) const { return Elements()[i]; }
    Noeud* front() const { return Elements()[0]; }
    Noeud* back() const { return Elements()[size() - 1]; }
    Noeud* const* begin() const { return bloc_ ? Elements() : nullptr; }
    Noeud* const* end() const { return bloc_ ? Elements() + bloc_->Taille : nullptr; }

    // Room for n pointers in all, growing by half at least.
    void reserve(size_t n);
    void push_back(Noeud* noeud);
    // Drops the pointers and their storage (not the nodes).
    void clear();

private:
    struct Entete
    {
        uint32_t Taille;
        uint32_t Capacite;
    };
    Noeud** Elements() const { return reinterpret_cast<Noeud**>(bloc_ + 1); }

    Entete* bloc_ = nullptr;
};
