#pragma once

// Owns one file descriptor and closes it when it goes.

#include <unistd.h>

#include <utility>

class Descripteur
{
public:
    Descripteur() = default;
    explicit Descripteur(int fd) : fd_(fd) {}
    ~Descripteur() { Fermer(); }
    Descripteur(Descripteur&& autre) noexcept : fd_(std::exchange(autre.fd_, -1)) {}
    Descripteur& operator=(Descripteur&& autre) noexcept
    {
        if (this != &autre) {
            Fermer();
            fd_ = std::exchange(autre.fd_, -1);
        }
        return *this;
    }
    Descripteur(const Descripteur&) = delete;
    Descripteur& operator=(const Descripteur&) = delete;

    int Fd() const { return fd_; }
    bool Valide() const { return fd_ >= 0; }
    // Gives the descriptor up without closing it.
    int Liberer() { return std::exchange(fd_, -1); }

private:
    void Fermer()
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

    int fd_ = -1;
};
