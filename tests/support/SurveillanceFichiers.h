#pragma once

// Tells a test what happened to some files (opened, read, closed) through
// inotify, so that it can wait until code under test has reached a file
// rather than sleeping for a guessed time. Events are only read when asked
// for; what was seen is kept.

#include <cstdint>
#include <map>
#include <string>

#include <sys/inotify.h>
#include <unistd.h>

class SurveillanceFichiers
{
public:
    SurveillanceFichiers() : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}
    ~SurveillanceFichiers()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    SurveillanceFichiers(const SurveillanceFichiers&) = delete;
    SurveillanceFichiers& operator=(const SurveillanceFichiers&) = delete;

    // Watches the file for opening, reading and closing from now on; false
    // when it cannot be watched.
    bool Surveiller(const std::string& chemin)
    {
        if (fd_ < 0)
            return false;
        const int montre = ::inotify_add_watch(fd_, chemin.c_str(), IN_OPEN | IN_ACCESS | IN_CLOSE);
        if (montre < 0)
            return false;
        chemins_[montre] = chemin;
        vus_[chemin] = 0;
        return true;
    }

    // True once one of the events in masque (IN_OPEN, IN_ACCESS,
    // IN_CLOSE_NOWRITE …) has happened to the file since it was watched.
    bool Vu(const std::string& chemin, std::uint32_t masque)
    {
        Lire();
        const auto vu = vus_.find(chemin);
        return vu != vus_.end() && (vu->second & masque) != 0;
    }

    // Forgets what was seen of the file.
    void Oublier(const std::string& chemin)
    {
        Lire();
        vus_[chemin] = 0;
    }

private:
    void Lire()
    {
        alignas(inotify_event) char tampon[4096];
        for (;;) {
            const ssize_t n = ::read(fd_, tampon, sizeof tampon);
            if (n <= 0)
                return;
            for (ssize_t i = 0; i < n;) {
                const auto* evenement = reinterpret_cast<const inotify_event*>(tampon + i);
                const auto chemin = chemins_.find(evenement->wd);
                if (chemin != chemins_.end())
                    vus_[chemin->second] |= evenement->mask;
                i += ssize_t(sizeof(inotify_event)) + evenement->len;
            }
        }
    }

    int fd_;
    std::map<int, std::string> chemins_;
    std::map<std::string, std::uint32_t> vus_;
};
