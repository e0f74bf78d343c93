#include "trees/ThreadTreeView.h"

#include "trees/GestionTreeView.h"

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
    if (Cible)
        Cible->Traiter(*this);
}
