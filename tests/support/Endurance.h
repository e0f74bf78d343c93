#pragma once

// The length of the stress and fault tests: short in the test command, a
// multiple of it on the benchmark machine (tools/endurance.sh <factor> sets
// RUVIZARO_ENDURANCE).

#include <cstdlib>

inline int Endurance(int cyclesCourts)
{
    const char* facteur = std::getenv("RUVIZARO_ENDURANCE");
    const int f = facteur ? std::atoi(facteur) : 1;
    return cyclesCourts * (f > 1 ? f : 1);
}
