#include "shared/Travailleur.h"

#include <chrono>

Travailleur::~Travailleur()
{
    if (fil_.joinable())
        Arreter();
}

void Travailleur::Demarrer()
{
    fil_ = std::thread([this] { Boucle(); });
}

void Travailleur::Boucle()
{
    Execute();
    if (!arretDemande_.load())
        termine_.store(true);
    {
        std::lock_guard verrou(mutex_);
        fini_.store(true);
    }
    cv_.notify_all();
}

bool Travailleur::PointDeControle()
{
    if (!pauseDemandee_.load() && !arretDemande_.load())
        return true;
    std::unique_lock verrou(mutex_);
    if (pauseDemandee_.load() && !arretDemande_.load()) {
        enPause_.store(true);
        cv_.notify_all();
        cv_.wait(verrou, [this] { return !pauseDemandee_.load() || arretDemande_.load(); });
        enPause_.store(false);
    }
    return !arretDemande_.load();
}

bool Travailleur::Dormir(int millisecondes)
{
    std::unique_lock verrou(mutex_);
    cv_.wait_for(verrou, std::chrono::milliseconds(millisecondes),
                 [this] { return arretDemande_.load() || pauseDemandee_.load(); });
    verrou.unlock();
    return PointDeControle();
}

void Travailleur::Suspendre()
{
    std::unique_lock verrou(mutex_);
    if (fini_.load() || !fil_.joinable())
        return;
    pauseDemandee_.store(true);
    cv_.notify_all();
    cv_.wait(verrou, [this] { return enPause_.load() || fini_.load(); });
}

void Travailleur::Reprendre()
{
    {
        std::lock_guard verrou(mutex_);
        pauseDemandee_.store(false);
    }
    cv_.notify_all();
}

void Travailleur::Arreter()
{
    {
        std::lock_guard verrou(mutex_);
        arretDemande_.store(true);
    }
    cv_.notify_all();
    if (fil_.joinable() && fil_.get_id() != std::this_thread::get_id())
        fil_.join();
}
