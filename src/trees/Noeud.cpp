#include "trees/Noeud.h"

#include <limits>

// Four pointer-sized words on 64-bit systems: text, parent, children, the rest.
static_assert(sizeof(void*) != 8 || sizeof(Noeud) == 32);

namespace {

constexpr char Attente3Points[] = "\x03...";   // length, then the bytes

Noeud& Partage()
{
    static Noeud attente;   // set up on each use
    return attente;
}

} // namespace

const Noeud* Noeud::PremierEnfant() const
{
    if (attente_)
        return Attente(this);
    return Enfants.empty() ? nullptr : Enfants.front();
}

Noeud* Noeud::Attente(const Noeud* parent)
{
    Noeud& attente = Partage();
    attente.Texte = TexteAttente();
    attente.Parent = const_cast<Noeud*>(parent);
    attente.Image = parent ? parent->imageAttente_ : -1;
    attente.Index = 0;
    return &attente;
}

TexteNoeud Noeud::TexteAttente()
{
    return TexteNoeud(Attente3Points);
}

bool Noeud::EstAttente(const Noeud* noeud)
{
    return noeud == &Partage();
}

int16_t Noeud::ImageCourte(int image)
{
    if (image < -1 || image > std::numeric_limits<int16_t>::max())
        return -1;
    return static_cast<int16_t>(image);
}
