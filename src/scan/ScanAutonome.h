#pragma once

// One whole scan run for a caller that has no window (the listing for
// scripts): the walk and the store's filing on two workers, as a scan of
// the window runs them. The store's listener, if any, hears each directory
// filed; the end is told to AlaFin.

#include "scan/Explorateur.h"
#include "scan/Scanneur.h"
#include "shared/Option.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

class Stockage;
class Travailleur;

class ScanAutonome
{
public:
    // The store must be bound to its extension table.
    explicit ScanAutonome(Stockage& stockage);
    // Stops the walk and the filing if they still run.
    ~ScanAutonome();
    ScanAutonome(const ScanAutonome&) = delete;
    ScanAutonome& operator=(const ScanAutonome&) = delete;

    // Called on the store worker once every directory walked is filed.
    std::function<void()> AlaFin;

    // Empties the store and starts the walk of racine under these settings.
    void Lancer(const std::string& racine, const Explorateur::Reglages& reglages);

private:
    Stockage& stockage_;
    // The walker reads its settings from an Option: this one is never
    // loaded nor saved, so the user's stored settings play no part.
    Option option_;
    Explorateur explorateur_;
    Scanneur scanneur_;
    std::unique_ptr<Travailleur> classement_;
    std::unique_ptr<Travailleur> marche_;
};
