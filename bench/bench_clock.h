// The benchmarks' clock.
#pragma once

#include <windows.h>

// Milliseconds from an arbitrary start, at the performance counter's resolution.
inline double Now() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}
