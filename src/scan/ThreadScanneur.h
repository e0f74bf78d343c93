#pragma once

// The scan worker: runs the walk of one scan.

#include "shared/Travailleur.h"

#include <string>

class Scanneur;
class ThreadStockage;

class ThreadScanneur : public Travailleur
{
public:
    // Starts at once unless suspended is true.
    ThreadScanneur(bool suspendu, ThreadStockage* stockageAssocie, std::string chemin, Scanneur* cible);
    ~ThreadScanneur() override;

protected:
    void Execute() override;

private:
    Scanneur* Cible;
    std::string Chemin;
};
