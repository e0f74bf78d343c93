#pragma once

// Waits for a condition: with the event loop running, or without any event
// handled meanwhile (to hold a notice back in the queue), or for a timer to
// have fired a number of times.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <thread>

template <typename Condition>
bool AttendreQue(Condition condition, int millisecondes = 20000)
{
    return QTest::qWaitFor(condition, millisecondes);
}

// Runs the event loop until the timer has fired n more times: what it does
// at each tick has been done n times.
inline bool AttendreTics(QTimer* minuterie, int n, int millisecondes = 20000)
{
    QSignalSpy tics(minuterie, &QTimer::timeout);
    return AttendreQue([&] { return tics.count() >= n; }, millisecondes);
}

// Polls a condition without running the event loop (a posted call must stay
// undelivered, or the caller is a plain thread) until it holds or the time
// is up.
template <typename Condition>
bool AttendreSansEvenements(Condition condition, int millisecondes = 20000)
{
    QDeadlineTimer fin(millisecondes);
    while (!condition()) {
        if (fin.hasExpired())
            return false;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}
