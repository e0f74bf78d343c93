#pragma once

// The mailbox of a worker that only ever serves the newest request (a
// picture to decode, a sound to probe): a request put in replaces the one
// waiting and stops the work under way, which nobody wants any more.

#include <condition_variable>
#include <mutex>
#include <optional>
#include <stop_token>
#include <utility>

template <typename Demande>
class DerniereDemande
{
public:
    // Puts the request in place of the one waiting and stops the one under way.
    void Deposer(Demande demande)
    {
        {
            const std::lock_guard verrou(verrou_);
            boite_ = std::move(demande);
            enCours_.request_stop();
        }
        reveil_.notify_one();
    }

    // Drops the request waiting and stops the one under way.
    void Abandonner()
    {
        const std::lock_guard verrou(verrou_);
        boite_.reset();
        enCours_.request_stop();
    }

    // On the worker: waits for the next request and takes it; false once
    // arret is requested. arretDemande is stopped when the request taken is
    // replaced or abandoned.
    bool Prendre(std::stop_token arret, Demande& demande, std::stop_token& arretDemande)
    {
        std::unique_lock verrou(verrou_);
        if (!reveil_.wait(verrou, arret, [this] { return boite_.has_value(); }))
            return false;
        demande = std::move(*boite_);
        boite_.reset();
        enCours_ = std::stop_source();
        arretDemande = enCours_.get_token();
        return true;
    }

private:
    std::mutex verrou_;
    std::condition_variable_any reveil_;
    std::optional<Demande> boite_;
    std::stop_source enCours_;
};
