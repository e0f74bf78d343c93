#include "app/SignauxArret.h"

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int Signaux[] = {SIGTERM, SIGINT, SIGHUP};

// The pipe's writing end, for the handler.
std::atomic<int> tubeEcriture{-1};

void Gestionnaire(int signal)
{
    const int sauve = errno;
    const unsigned char numero = static_cast<unsigned char>(signal);
    // Full (many signals unread): one is enough to close.
    [[maybe_unused]] const ssize_t ecrit = ::write(tubeEcriture.load(), &numero, 1);
    errno = sauve;
}

} // namespace

SignauxArret::SignauxArret(QObject* parent) : QObject(parent)
{
    if (::pipe2(tube_, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    tubeEcriture.store(tube_[1]);
    notificateur_ = new QSocketNotifier(tube_[0], QSocketNotifier::Read, this);
    connect(notificateur_, &QSocketNotifier::activated, this, &SignauxArret::Lire);
    struct sigaction action = {};
    action.sa_handler = Gestionnaire;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < std::size(Signaux); ++i)
        ::sigaction(Signaux[i], &action, &anciens_[i]);
}

SignauxArret::~SignauxArret()
{
    if (tube_[0] < 0)
        return;
    for (size_t i = 0; i < std::size(Signaux); ++i)
        ::sigaction(Signaux[i], &anciens_[i], nullptr);
    tubeEcriture.store(-1);
    delete notificateur_;
    ::close(tube_[0]);
    ::close(tube_[1]);
}

void SignauxArret::Lire()
{
    unsigned char numero = 0;
    int dernier = 0;
    while (::read(tube_[0], &numero, 1) == 1)
        dernier = numero;
    if (dernier != 0)
        emit Demande(dernier);
}
