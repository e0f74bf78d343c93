#include "shared/Travailleur.h"

#include <chrono>

Travailleur::~Travailleur()
{
    if (fil_.joinable())
        Arreter();
}

void Travailleur::Demarrer()
{
    source_ = std::stop_source();
    jeton_ = source_.get_token();
    fil_ = std::jthread([this] { Boucle(); });
}

void Travailleur::Boucle()
{
    Execute();
    if (!jeton_.stop_requested())
        termine_.store(true);
    {
        std::lock_guard verrou(mutex_);
        fini_.store(true);
    }
    cv_.notify_all();
}

bool Travailleur::PointDeControle()
{
    const std::stop_token& jeton = jeton_;
    if (!pauseDemandee_.load() && !jeton.stop_requested())
        return true;
    std::unique_lock verrou(mutex_);
    if (pauseDemandee_.load() && !jeton.stop_requested()) {
        enPause_.store(true);
        pauses_.fetch_add(1);
        cv_.notify_all();
        cv_.wait(verrou, jeton, [this] { return !pauseDemandee_.load(); });
        enPause_.store(false);
    }
    return !jeton.stop_requested();
}

bool Travailleur::Dormir(int millisecondes)
{
    {
        std::unique_lock verrou(mutex_);
        cv_.wait_for(verrou, jeton_, std::chrono::milliseconds(millisecondes),
                     [this] { return pauseDemandee_.load(); });
    }
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
    source_.request_stop();
    cv_.notify_all();
    if (fil_.joinable() && fil_.get_id() != std::this_thread::get_id())
        fil_.join();
}
