#pragma once

// What a scan asks of the floor that shows it (the tree manager, in the
// program's wiring): a worker of its own for each scan, made fresh when the
// scan starts, and two notices around it.

#include <memory>

class Travailleur;

class EcouteScan
{
public:
    virtual ~EcouteScan() = default;

    // User-interface thread, before any worker of a new scan runs: forget
    // what an earlier scan left queued, and the end of that scan.
    virtual void PreparerScan() = 0;
    // User-interface thread: the scan's third worker, already started.
    virtual std::unique_ptr<Travailleur> CreerTravailleur() = 0;
    // Any thread: nothing more comes for the current scan; its worker hands
    // over what it holds and returns. Told on the store worker when every
    // directory is filed, on the user-interface thread when the scan is
    // stopped.
    virtual void FinScan() = 0;
};
