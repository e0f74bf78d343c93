#pragma once

// A worker thread with cooperative pause and stop. The work calls
// PointDeControle() between two units of work (a directory, a node), where
// it holds no lock; pause and stop take effect there, never elsewhere.
// The stop is a stop token: waits made with Jeton() end when it is
// requested. A work that waits for more work does it with Attendre(),
// which a stop or a pause request ends. The work is either a subclass's
// Execute() or a function given at construction: this is the one way the
// program runs work on a thread of its own.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <stop_token>
#include <thread>
#include <utility>

class Travailleur
{
public:
    Travailleur() = default;
    // A worker whose work is travail, called with the worker itself (for its
    // check points, its token and its waits).
    explicit Travailleur(std::function<void(Travailleur&)> travail) : travail_(std::move(travail)) {}
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
    // Waits until the work has returned by itself, without asking it to
    // stop (a work that ends on its own, or on a signal of its owner).
    void Joindre();

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

    // Called by the work, holding verrou (the lock that guards what the
    // predicate reads): waits on cv until the predicate holds, or until a
    // stop or a pause is asked. True when the predicate holds; false when
    // the wait was cut short, after which the work releases verrou and calls
    // PointDeControle(). Whoever makes the predicate true does it under the
    // same lock and then notifies cv.
    template <typename Verrou, typename Predicat>
    bool Attendre(Verrou& verrou, std::condition_variable_any& cv, Predicat predicat);

protected:
    // The work: by default, the function given at construction.
    virtual void Execute();

private:
    void Boucle();
    // The interruption of the wait in progress (nullptr when none), asked at
    // once when a pause is already asked.
    void InscrireAttente(std::stop_source* interruption);

    std::function<void(Travailleur&)> travail_;
    std::stop_source source_; // made before the thread starts
    std::stop_token jeton_;
    std::jthread fil_;
    std::mutex mutex_;
    std::condition_variable_any cv_;
    std::atomic<bool> pauseDemandee_{false};
    std::atomic<bool> enPause_{false};
    std::atomic<bool> termine_{false};
    std::atomic<bool> fini_{false};
    std::atomic<uint64_t> pauses_{0};
    std::stop_source* attente_ = nullptr; // guarded by mutex_
};

template <typename Verrou, typename Predicat>
bool Travailleur::Attendre(Verrou& verrou, std::condition_variable_any& cv, Predicat predicat)
{
    // The wait ends on a token of its own, asked by a stop of the work and
    // by Suspendre(): the condition variable checks that token under its
    // own lock, so a request made between the predicate's check and the
    // sleep is not lost.
    std::stop_source interruption;
    std::stop_callback surArret(jeton_, [&interruption] { interruption.request_stop(); });
    InscrireAttente(&interruption);
    struct Desinscription
    {
        Travailleur& Fil;
        ~Desinscription() { Fil.InscrireAttente(nullptr); }
    } desinscription{*this};
    return cv.wait(verrou, interruption.get_token(), std::move(predicat));
}
