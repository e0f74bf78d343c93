#pragma once

// Reads directory listings ahead of the depth-first walk, on a few threads of
// its own, so that more than one directory read is in flight when the disk is
// cold. The walk still visits, files and publishes every directory itself, in
// the same pre-order: a listing read ahead is only handed to it when it comes
// to that directory, made under the settings it would use then.
//
// A directory is known by its rank, the indexes of the sub-directories that
// lead to it from the root ({} the root, {0, 2} the third sub-directory of the
// first one): ranks in lexicographic order are the walk's order, so the
// readers always take the first directory the walk will reach that nobody
// reads yet. Readers stand still while the walk is paused.

#include "scan/Explorateur.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class Travailleur;

class LectureAvance
{
public:
    using Rang = std::vector<uint32_t>;

    // With no reader the walk lists every directory itself. The readers
    // start once a few listings the walk makes itself took `attente` or
    // more each (0: at once); until then the walk lists alone.
    // lues counts the listings the readers make.
    // The readers also stat the names aMesurer picks (see
    // Explorateur::ListerRepertoire); the walk's own listings stat none, so
    // that sizes never hold it.
    LectureAvance(const Explorateur& explorateur, const Travailleur& marche, int lecteurs,
                  std::chrono::microseconds attente, std::atomic<uint64_t>& lues, Explorateur::AMesurer aMesurer = {});
    ~LectureAvance();
    LectureAvance(const LectureAvance&) = delete;
    LectureAvance& operator=(const LectureAvance&) = delete;

    // The walk: the listing of the directory at this rank, the one read ahead
    // when it is still good, else read now; its sub-directories are then
    // read ahead.
    // File names as Explorateur lists them in one string; tailles holds the
    // sizes of the names aMesurer picks when a reader stat'ed them, or when
    // the walk listed the directory itself and `mesurer` asked it to; none
    // otherwise.
    void Lister(const Rang& rang, const std::string& chemin, std::vector<std::string>& sousRepertoires,
                std::string& fichiers, std::vector<int64_t>& tailles, bool mesurer = false);
    // The walk: drops every listing read ahead (after a pause: the tree may
    // have changed meanwhile).
    void Oublier();

private:
    struct Lecture
    {
        std::string Chemin;
        uint64_t Generation = 0;
        bool Prete = false;
        Explorateur::Reglages Reglages;
        std::vector<std::string> SousRepertoires;
        std::string Fichiers;
        std::vector<int64_t> Tailles;
    };

    void Lecteur();
    // The walk, lock held: the readers start.
    void Demarrer();
    // Lock held: the sub-directories of a directory listed join the ones to read.
    void Annoncer(const Rang& rang, const std::string& chemin, const std::vector<std::string>& sousRepertoires);

    const Explorateur& explorateur_;
    const Travailleur& marche_;
    const Explorateur::AMesurer aMesurer_;

    mutable std::mutex verrou_;
    std::condition_variable pourMarche_;
    std::condition_variable pourLecteurs_;
    std::map<Rang, std::string> aLire_; // known, not yet taken: rank and path
    std::map<Rang, Lecture> lues_;      // taken by a reader: under way or ready
    uint64_t generation_ = 0;
    std::atomic<uint64_t>& lectures_;
    bool arret_ = false;
    const int nombreLecteurs_;
    const std::chrono::microseconds attente_;
    // Started by the walk, under the lock; empty until then.
    std::vector<std::unique_ptr<Travailleur>> lecteurs_;
    int listingsLents_ = 0; // the walk's, while it lists alone
};
