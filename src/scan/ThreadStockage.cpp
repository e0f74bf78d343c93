#include "scan/ThreadStockage.h"

#include "scan/Stockage.h"
#include "shared/PrioriteFil.h"

ThreadStockage::ThreadStockage(Stockage* cible) : Cible(cible)
{
    Demarrer();
}

ThreadStockage::~ThreadStockage()
{
    // The thread must be gone before the members it reads.
    Arreter();
}

void ThreadStockage::Execute()
{
    PrioriteFil::CederALaFenetre();
    if (Cible)
        Cible->BoucleStockage(*this);
}
