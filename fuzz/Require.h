#pragma once
// A broken promise of the code under fuzzing ends the run as a crash would.
#include <cstdlib>

inline void require(bool condition)
{
    if (!condition)
        std::abort();
}
