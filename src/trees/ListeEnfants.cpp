#include "trees/ListeEnfants.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <new>

namespace {
constexpr size_t CapaciteMin = 4;
}

ListeEnfants::~ListeEnfants()
{
    clear();
}

void ListeEnfants::reserve(size_t n)
{
    const size_t capacite = bloc_ ? bloc_->Capacite : 0;
    if (n <= capacite)
        return;
    if (n > std::numeric_limits<uint32_t>::max())
        throw std::bad_alloc();
    n = std::min<size_t>(std::max({n, capacite + capacite / 2, CapaciteMin}), std::numeric_limits<uint32_t>::max());
    void* nouveau = std::realloc(bloc_, sizeof(Entete) + n * sizeof(Noeud*));
    if (!nouveau)
        throw std::bad_alloc();
    const bool premier = !bloc_;
    bloc_ = static_cast<Entete*>(nouveau);
    if (premier)
        bloc_->Taille = 0;
    bloc_->Capacite = static_cast<uint32_t>(n);
}

void ListeEnfants::push_back(Noeud* noeud)
{
    const size_t taille = size();
    if (!bloc_ || taille == bloc_->Capacite)
        reserve(taille + 1);
    Elements()[taille] = noeud;
    ++bloc_->Taille;
}

void ListeEnfants::clear()
{
    std::free(bloc_);
    bloc_ = nullptr;
}
