#include "trees/Noeud.h"

namespace {

// Text of the "..." child, the same as GestionTreeView::TexteAttente.
Noeud& Partage()
{
    static Noeud attente = [] {
        Noeud n;
        n.Texte = QStringLiteral("...");
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

bool Noeud::EstAttente(const Noeud* noeud)
{
    return noeud == &Partage();
}
