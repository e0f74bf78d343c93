#include "trees/ReserveNoeuds.h"

#include <algorithm>
#include <memory>
#include <new>

namespace {
constexpr size_t PremierBloc = 32;
constexpr size_t BlocMax = 2048;
static_assert(sizeof(Noeud) >= sizeof(void*) && alignof(Noeud) >= alignof(void*));
} // namespace

ReserveNoeuds::~ReserveNoeuds()
{
    for (const Bloc& bloc : blocs_)
        std::allocator<Noeud>().deallocate(bloc.Debut, bloc.Taille);
}

Noeud* ReserveNoeuds::Nouveau()
{
    void* place = nullptr;
    if (libres_) {
        place = libres_;
        libres_ = libres_->Suivant;
    } else {
        if (reste_ == 0) {
            tailleBloc_ = std::min(tailleBloc_ == 0 ? PremierBloc : tailleBloc_ * 2, BlocMax);
            blocs_.push_back({std::allocator<Noeud>().allocate(tailleBloc_), tailleBloc_});
            prochain_ = blocs_.back().Debut;
            reste_ = tailleBloc_;
        }
        place = prochain_++;
        --reste_;
    }
    ++vivants_;
    return new (place) Noeud();
}

void ReserveNoeuds::Detruire(Noeud* noeud)
{
    for (Noeud* enfant : noeud->Enfants)
        Rendre(enfant);
    std::destroy_at(noeud);
    --vivants_;
}

void ReserveNoeuds::Rendre(Noeud* noeud)
{
    if (!noeud)
        return;
    Detruire(noeud);
    libres_ = new (noeud) Libre{libres_};
}

void ReserveNoeuds::Vider(ListeEnfants& liste)
{
    for (Noeud* noeud : liste)
        Rendre(noeud);
    liste.clear();
    for (const Bloc& bloc : blocs_)
        std::allocator<Noeud>().deallocate(bloc.Debut, bloc.Taille);
    blocs_.clear();
    blocs_.shrink_to_fit();
    prochain_ = nullptr;
    reste_ = 0;
    tailleBloc_ = 0;
    libres_ = nullptr;
    vivants_ = 0;
}
