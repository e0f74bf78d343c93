#pragma once

// A first-in first-out list handed from producers to one worker: a producer
// appends under the list's lock and wakes the worker only when the list was
// empty (the worker sleeps on an empty list alone), the worker takes one
// element at a time and sleeps with Travailleur::Attendre, so that a pause
// or a stop ends its wait. The elements are moved in and out: no copy, no
// allocation but the list's own blocks.

#include "shared/Travailleur.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <utility>

template <typename T>
class FileAttente
{
public:
    // What Prendre found.
    enum class Prise { Element, Fin, Interrompue };

    // Any thread.
    void Ajouter(T element)
    {
        bool etaitVide = false;
        {
            std::lock_guard verrou(Verrou);
            etaitVide = Vide();
            elements_.emplace_back(std::move(element));
        }
        if (etaitVide)
            nonVide_.notify_all();
    }

    // Any thread: sets the end mark under the lock and wakes the worker, so
    // that a worker about to sleep sees it.
    void MarquerFin(std::atomic<bool>& fin)
    {
        {
            std::lock_guard verrou(Verrou);
            fin.store(true);
        }
        nonVide_.notify_all();
    }

    void Vider()
    {
        std::lock_guard verrou(Verrou);
        elements_ = {};
    }

    // The worker: waits for an element or for the end mark. Element: the
    // first one, moved into sortie; Fin: the list is empty and the end is
    // marked (the producers mark it after their last Ajouter, so it stays
    // empty); Interrompue: a pause or a stop cut the wait short, and the
    // worker calls its PointDeControle() (no lock is held then).
    Prise Prendre(Travailleur& travailleur, const std::atomic<bool>& fin, T& sortie)
    {
        std::unique_lock verrou(Verrou);
        if (!travailleur.Attendre(verrou, nonVide_, [&] { return !Vide() || fin.load(); }))
            return Prise::Interrompue;
        if (Vide())
            return Prise::Fin;
        sortie = std::move(elements_.at(0));
        elements_.pop_front();
        return Prise::Element;
    }

private:
    // Verrou held.
    bool Vide() const { return elements_.cbegin() == elements_.cend(); }

    std::mutex Verrou;
    std::condition_variable_any nonVide_;
    std::deque<T> elements_; // guarded by Verrou
};
