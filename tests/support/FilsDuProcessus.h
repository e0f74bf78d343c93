#pragma once

// Looks at the threads of this process through /proc (Linux): which ones
// exist, whether one sleeps in a futex wait (a condition variable or a
// lock), and how often each has gone to sleep by itself. A test waits with
// these until a worker has gone back to waiting, or has looked again at
// what it polls, rather than sleeping for a guessed time.

#include <cstdint>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <dirent.h>
#include <sys/syscall.h>
#include <sys/types.h>

namespace FilsDuProcessus {

// The thread ids of this process now.
inline std::set<pid_t> Liste()
{
    std::set<pid_t> fils;
    DIR* dossier = ::opendir("/proc/self/task");
    if (!dossier)
        return fils;
    while (const dirent* entree = ::readdir(dossier)) {
        if (entree->d_name[0] >= '0' && entree->d_name[0] <= '9')
            fils.insert(pid_t(std::stol(entree->d_name)));
    }
    ::closedir(dossier);
    return fils;
}

// The threads that exist now and were not in avant.
inline std::vector<pid_t> Nouveaux(const std::set<pid_t>& avant)
{
    std::vector<pid_t> nouveaux;
    for (const pid_t fil : Liste())
        if (!avant.contains(fil))
            nouveaux.push_back(fil);
    return nouveaux;
}

inline std::string Chemin(pid_t fil, const char* fichier)
{
    return "/proc/self/task/" + std::to_string(fil) + "/" + fichier;
}

// The scheduler state letter of the thread (R running, S sleeping, D disk
// wait …), or 0 when it is gone.
inline char Etat(pid_t fil)
{
    std::ifstream stat(Chemin(fil, "stat"));
    std::string texte;
    std::getline(stat, texte);
    // The name in parentheses may hold anything; the state follows the last ')'.
    const auto fin = texte.rfind(')');
    return fin == std::string::npos || fin + 2 >= texte.size() ? 0 : texte[fin + 2];
}

// True when the thread sleeps inside the futex system call: it waits on a
// condition variable, or for a lock.
inline bool EnAttente(pid_t fil)
{
    std::ifstream appel(Chemin(fil, "syscall"));
    std::string premier;
    if (!(appel >> premier) || premier == "running")
        return false;
    return premier == std::to_string(SYS_futex) && Etat(fil) == 'S';
}

// How many times the thread has given the processor up by itself: every
// wait that blocked, every timed wait that ran out.
inline std::uint64_t Sommeils(pid_t fil)
{
    std::ifstream statut(Chemin(fil, "status"));
    std::string ligne;
    while (std::getline(statut, ligne)) {
        if (ligne.starts_with("voluntary_ctxt_switches:"))
            return std::stoull(ligne.substr(ligne.find(':') + 1));
    }
    return 0;
}

// Processor time the thread has used so far, in clock ticks.
inline std::uint64_t TempsProcesseur(pid_t fil)
{
    std::ifstream stat(Chemin(fil, "stat"));
    std::string texte;
    std::getline(stat, texte);
    const auto fin = texte.rfind(')');
    if (fin == std::string::npos)
        return 0;
    // After the name: the state (field 3) … user time (14), system time (15).
    std::istringstream champs(texte.substr(fin + 2));
    std::string champ;
    for (int i = 3; i < 14; ++i)
        champs >> champ;
    std::uint64_t utilisateur = 0;
    std::uint64_t systeme = 0;
    champs >> utilisateur >> systeme;
    return utilisateur + systeme;
}

} // namespace FilsDuProcessus
