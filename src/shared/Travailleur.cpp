#include "shared/Travailleur.h"

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

void Travailleur::Execute()
{
    if (travail_)
        travail_(*this);
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

void Travailleur::InscrireAttente(std::stop_source* interruption)
{
    std::lock_guard verrou(mutex_);
    attente_ = interruption;
    if (attente_ && pauseDemandee_.load())
        attente_->request_stop();
}

void Travailleur::Suspendre()
{
    std::unique_lock verrou(mutex_);
    if (fini_.load() || !fil_.joinable())
        return;
    pauseDemandee_.store(true);
    // A work waiting for more work is woken to reach its check point.
    if (attente_)
        attente_->request_stop();
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

void Travailleur::Joindre()
{
    if (fil_.joinable() && fil_.get_id() != std::this_thread::get_id())
        fil_.join();
}
