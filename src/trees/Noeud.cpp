#include "trees/Noeud.h"

namespace {

constexpr char Attente3Points[] = "\x03...";   // length, then the bytes

Noeud& Partage()
{
    static Noeud attente = [] {
        Noeud n;
        n.Texte = Noeud::TexteAttente();
        return n;
    }();
    return attente;
}

} // namespace

const Noeud* Noeud::PremierEnfant() const
{
    if (attente_)
        return Attente(this);
    return Enfants.empty() ? nullptr : Enfants.front().get();
}

Noeud* Noeud::Attente(const Noeud* parent)
{
    Noeud& attente = Partage();
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
