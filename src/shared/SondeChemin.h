#pragma once

// Looks at a path off the calling thread, because a stat can hang on a
// network mount, and hands the answer to the thread of a QObject. Each
// question has a thread of its own, detached: one stuck in the file system
// is left behind, and an answer that comes after the probe is destroyed is
// dropped.

#include <functional>
#include <memory>
#include <string>

class QObject;

class SondeChemin
{
public:
    // Absent: nothing by that name (or a parent is not a directory);
    // Injoignable: the path cannot be looked at (permission, a name too
    // long for one call, a loop of links, an input/output error).
    enum class Nature { Absent, Injoignable, Repertoire, Autre };

    // Answers run on the thread of cible, which outlives the probe.
    explicit SondeChemin(QObject& cible);
    ~SondeChemin();
    SondeChemin(const SondeChemin&) = delete;
    SondeChemin& operator=(const SondeChemin&) = delete;

    // What chemin is (a link is followed): a directory, something else,
    // nothing, or not reachable. The answer comes later, through the event
    // queue, never from inside this call.
    void Demander(const std::string& chemin, std::function<void(Nature)> reponse);

    // The nature of a path, on the calling thread.
    static Nature Examiner(const std::string& chemin);

private:
    struct Lien;
    std::shared_ptr<Lien> lien_;
};
