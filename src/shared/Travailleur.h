#pragma once

// A worker thread with cooperative pause and stop. The work calls
// PointDeControle() between two units of work (a directory, a node), where
// it holds no lock; pause and stop take effect there, never elsewhere.
// The stop is a stop token: waits made with Jeton() end when it is
// requested.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <stop_token>
#include <thread>

class Travailleur
{
public:
    Travailleur() = default;
    virtual ~Travailleur();
    Travailleur(const Travailleur&) = delete;
    Travailleur& operator=(const Travailleur&) = delete;

    // Starts the thread; it runs Execute() and then sets Termine.
    void Demarrer();

    // Asks the work to pause and waits until it has reached a check point
    // (or has returned). Does nothing when it has already returned.
    void Suspendre();
    // Lets a paused work go on.
    void Reprendre();
    // Stops the work for good: it returns from its next check point and
    // never resumes. Waits until it has returned.
    void Arreter();

    // True once Execute() has returned normally (not when it was stopped).
    bool Termine() const { return termine_.load(); }
    // True once the thread has left Execute(), whatever the reason.
    bool Fini() const { return fini_.load(); }
    bool Suspendu() const { return pauseDemandee_.load(); }
    // How many times the work has stood paused at a check point.
    uint64_t NombrePauses() const { return pauses_.load(); }
    bool ArretDemande() const { return jeton_.stop_requested(); }
    // The work's stop token, for waits of its own.
    std::stop_token Jeton() const { return jeton_; }

    // Called by the work between two units: blocks while a pause is asked,
    // returns false when the work must stop.
    bool PointDeControle();

    // Sleeps up to the given time, waking early on stop; returns false when
    // the work must stop. Used by the polling loops instead of a bare sleep.
    bool Dormir(int millisecondes);

protected:
    virtual void Execute() = 0;

private:
    void Boucle();

    std::stop_source source_;   // made before the thread starts
    std::stop_token jeton_;
    std::jthread fil_;
    std::mutex mutex_;
    std::condition_variable_any cv_;
    std::atomic<bool> pauseDemandee_{false};
    std::atomic<bool> enPause_{false};
    std::atomic<bool> termine_{false};
    std::atomic<bool> fini_{false};
    std::atomic<uint64_t> pauses_{0};
};
