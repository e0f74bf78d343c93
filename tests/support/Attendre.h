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

// The same without handling any event: what the workers post stays queued.
template <typename Condition>
bool AttendreSansEvenements(Condition condition, int millisecondes = 20000)
{
    QDeadlineTimer fin(millisecondes);
    while (!condition()) {
        if (fin.hasExpired())
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Runs the event loop until the timer has fired n more times: what it does
// at each tick has been done n times.
inline bool AttendreTics(QTimer* minuterie, int n, int millisecondes = 20000)
{
    QSignalSpy tics(minuterie, &QTimer::timeout);
    return AttendreQue([&] { return tics.count() >= n; }, millisecondes);
}
