#pragma once

// The polite ends asked from outside (SIGTERM from a session's end or a
// `kill`, SIGINT from Ctrl+C in a terminal, SIGHUP when the terminal goes)
// turned into a Qt signal on the window's thread, so that they close the
// program as its close picture does. The handler only writes the signal's
// number into a pipe of its own (the one thing a handler may safely do); a
// socket notifier reads it in the message loop. One at a time; the
// previous handlers come back when it goes.

#include <QObject>

#include <csignal>

class QSocketNotifier;

class SignauxArret : public QObject
{
    Q_OBJECT
public:
    explicit SignauxArret(QObject* parent = nullptr);
    ~SignauxArret() override;

signals:
    // A polite end was asked (the signal's number).
    void Demande(int signal);

private:
    void Lire();

    int tube_[2] = {-1, -1};
    QSocketNotifier* notificateur_ = nullptr;
    struct sigaction anciens_[3] = {};
};
