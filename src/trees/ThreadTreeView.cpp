#include "trees/ThreadTreeView.h"

#include "trees/GestionTreeView.h"
#include "shared/PrioriteFil.h"

ThreadTreeView::ThreadTreeView(GestionTreeView* cible) : Cible(cible)
{
    Demarrer();
}

ThreadTreeView::~ThreadTreeView()
{
    // Execute() must be gone before this object's part of it is.
    Arreter();
}

void ThreadTreeView::Execute()
{
    PrioriteFil::CederALaFenetre();
    if (Cible)
        Cible->Traiter(*this);
}
