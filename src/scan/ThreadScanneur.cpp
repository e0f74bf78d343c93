#include "scan/ThreadScanneur.h"

#include "scan/Scanneur.h"

ThreadScanneur::ThreadScanneur(bool suspendu, ThreadStockage* stockageAssocie, std::string chemin, Scanneur* cible)
    : Cible(cible), Chemin(std::move(chemin)), StockageAssocie(stockageAssocie)
{
    if (!suspendu)
        Demarrer();
}

ThreadScanneur::~ThreadScanneur()
{
    // The thread must be gone before the members it reads.
    Arreter();
}

void ThreadScanneur::Execute()
{
    if (Cible)
        Cible->Scanner(Chemin, *this);
}
