#include "scan/ThreadStockage.h"

#include "scan/Stockage.h"

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
    if (Cible)
        Cible->BoucleStockage(*this);
}
