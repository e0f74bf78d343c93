#include "scan/ThreadScanneur.h"

#include "scan/Scanneur.h"
#include "shared/PrioriteFil.h"

// The store worker is named by the callers but never reached from here: the
// walk feeds the store through the Scanneur.
ThreadScanneur::ThreadScanneur(bool suspendu, ThreadStockage*, std::string chemin, Scanneur* cible)
    : Cible(cible), Chemin(std::move(chemin))
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
    // The readers the walk starts inherit the walk's priority.
    PrioriteFil::CederALaFenetre();
    if (Cible)
        Cible->Scanner(Chemin, *this);
}
