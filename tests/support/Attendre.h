#pragma once

// Runs the event loop until a condition holds or the time is up.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTest>

#include <chrono>
#include <thread>

template <typename Condition>
bool AttendreQue(Condition condition, int millisecondes = 20000)
{
    QDeadlineTimer fin(millisecondes);
    while (!condition()) {
        if (fin.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QTest::qWait(5);
    }
    return true;
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
