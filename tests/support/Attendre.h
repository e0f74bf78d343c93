#pragma once

// Runs the event loop until a condition holds or the time is up.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTest>

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
