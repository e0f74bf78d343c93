#pragma once

// One whole scan run for a caller that has no window (the listing for
// scripts): the walk and the store's filing on two workers, as a scan of
// the window runs them, and the caller waiting for the end. Nothing is
// announced: the store is read once everything is filed.

#include "scan/Explorateur.h"

#include <chrono>
#include <functional>
#include <string>

class Stockage;

class ScanAutonome
{
public:
    // The store must be bound to its extension table.
    explicit ScanAutonome(Stockage& stockage) : stockage_(stockage) {}

    // Empties the store and walks racine under these settings; returns once
    // every directory walked is filed. pendant, when given, is called on
    // the calling thread every periode while the scan runs (the store's
    // counters may be read there).
    void Executer(const std::string& racine, const Explorateur::Reglages& reglages,
                  std::chrono::milliseconds periode = {}, const std::function<void()>& pendant = {});

private:
    Stockage& stockage_;
};
