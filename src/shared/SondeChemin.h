#pragma once

// Looks at a path off the calling thread, because a stat can hang on a
// network mount, and hands the answer to the thread of a QObject. One
// worker answers the questions in the order they were asked; its end waits
// for the question under way, and the answers not yet given are dropped.

#include "shared/Travailleur.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <utility>

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
    void Repondre(Travailleur& fil);

    QObject& cible_;
    std::mutex verrou_;
    std::condition_variable_any reveil_;
    std::deque<std::pair<std::string, std::function<void(Nature)>>> questions_; // under verrou_
    Travailleur fil_; // last: started once everything above exists
};
