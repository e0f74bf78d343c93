#include "trees/ReserveTextes.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr size_t PremierBloc = 1024;
constexpr size_t BlocMax = 64 * 1024;
constexpr size_t PremierTampon = 256;
} // namespace

ReserveTextes::ReserveTextes()
    : tailleBloc_(PremierBloc), tampon_(std::make_unique_for_overwrite<char[]>(PremierTampon)),
      tailleTampon_(PremierTampon), encodeur_(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless)
{}

ReserveTextes::~ReserveTextes() = default;

char* ReserveTextes::Place(size_t taille)
{
    if (taille > reste_) {
        // Texts larger than a quarter of a block get a block of their own,
        // so that the current one is not left mostly empty.
        if (taille > tailleBloc_ / 4) {
            blocs_.push_back(std::make_unique_for_overwrite<char[]>(taille));
            octets_ += taille;
            return blocs_.back().get();
        }
        blocs_.push_back(std::make_unique_for_overwrite<char[]>(tailleBloc_));
        octets_ += tailleBloc_;
        libre_ = blocs_.back().get();
        reste_ = tailleBloc_;
        tailleBloc_ = std::min(tailleBloc_ * 2, BlocMax);
    }
    char* place = libre_;
    libre_ += taille;
    reste_ -= taille;
    return place;
}

TexteNoeud ReserveTextes::Ajouter(QStringView texte)
{
    const auto maximum = static_cast<size_t>(encodeur_.requiredSpace(texte.size()));
    if (maximum > tailleTampon_) {
        tailleTampon_ = std::max(maximum, tailleTampon_ * 2);
        tampon_ = std::make_unique_for_overwrite<char[]>(tailleTampon_);
    }
    const char* fin = encodeur_.appendToBuffer(tampon_.get(), texte);
    const auto n = static_cast<size_t>(fin - tampon_.get());
    char* place = Place(TexteNoeud::TailleLongueur(n) + n);
    char* octets = TexteNoeud::EcrireLongueur(place, n);
    if (n > 0)
        std::memcpy(octets, tampon_.get(), n);
    return TexteNoeud(place);
}

void ReserveTextes::Vider()
{
    blocs_.clear();
    blocs_.shrink_to_fit();
    libre_ = nullptr;
    reste_ = 0;
    tailleBloc_ = PremierBloc;
    octets_ = 0;
}
