#pragma once

// Turns one root directory into the stream of directories the store files:
// a depth-first, pre-order walk with the walker.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

class Explorateur;
class Stockage;
class Travailleur;

class Scanneur
{
public:
    void Lier(Stockage* stockage) { stockage_ = stockage; }
    void Lier(Explorateur* explorateur) { explorateur_ = explorateur; }
    // Threads that read listings ahead of the walk (0: the walk reads every
    // directory itself), started once a few listings the walk makes itself
    // took `attente` or more each (0: with the walk). Taken when a walk
    // starts. By default, LecteursParDefaut started when listings make the
    // walk wait for the disk: a tree in the page cache is walked without
    // them and their memory.
    void DefinirLecteurs(int lecteurs, std::chrono::microseconds attente = {})
    {
        lecteurs_ = lecteurs;
        attente_ = attente;
    }
    int Lecteurs() const { return lecteurs_; }
    // Listings read ahead during the last walk (the current one while it runs).
    uint64_t LecturesAvance() const { return lecturesAvance_.load(); }

    static constexpr int LecteursParDefaut = 4;
    static constexpr std::chrono::microseconds AttenteDisque{250};

    // Tests: called by the walk with its worker once the root is listed and
    // queued, before it goes on; a test holds the walk there while the
    // readers read ahead of it.
    std::function<void(Travailleur&)> ApresRacine;

    static bool RepertoireInexistant(const std::string& chemin);
    // The whole walk; returns early (without marking the end) when stopped.
    void Scanner(const std::string& racine, Travailleur& travailleur);

private:
    // The walk below the root, iterative so that depth costs no stack;
    // false when the worker was stopped.
    bool ParcourirRepertoire(const std::string& racine, Travailleur& travailleur);

    Stockage* stockage_ = nullptr;
    Explorateur* explorateur_ = nullptr;
    int lecteurs_ = LecteursParDefaut;
    std::chrono::microseconds attente_ = AttenteDisque;
    std::atomic<uint64_t> lecturesAvance_{0};
};
