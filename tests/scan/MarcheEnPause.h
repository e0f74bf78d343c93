#pragma once

// A scan test's walk on its own thread, paused before the walk begins.

#include "scan/Scanneur.h"
#include "shared/Travailleur.h"

#include <atomic>
#include <string>
#include <thread>
#include <utility>

// Runs a walk on its own thread, with a pause asked before the
// walk begins: the walk stops at its first check point, after the root.
class MarcheEnPause : public Travailleur
{
public:
    MarcheEnPause(Scanneur& scanneur, std::string racine) : scanneur_(scanneur), racine_(std::move(racine))
    {
        Demarrer();
        std::thread demande([this] { Suspendre(); });
        while (!Suspendu())
            std::this_thread::yield();
        depart_ = true;
        demande.join(); // paused at the first check point
    }
    ~MarcheEnPause() override { Arreter(); }

protected:
    void Execute() override
    {
        while (!depart_.load())
            std::this_thread::yield();
        scanneur_.Scanner(racine_, *this);
    }

private:
    Scanneur& scanneur_;
    std::string racine_;
    std::atomic<bool> depart_{false};
};
