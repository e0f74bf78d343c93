#pragma once

// A test hook: when RUVIZARO_JOURNAL names a file, a few events of the run
// (the end of a scan with its counters) are appended to it, one line each,
// so that end-to-end tests can follow the real program. Otherwise it does
// nothing at all.

#include <QString>

class Journal
{
public:
    static void Ecrire(const QString& ligne);
};
