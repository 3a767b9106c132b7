// How a benchmark's child program tells its parent when its own code began: the performance counter
// at that moment, written to its standard output when the parent gave it one. The counter runs on
// one clock for every process of the machine.
#pragma once

#include <windows.h>

#include <cstdio>

inline void ReportLaunchReached() {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (!out || out == INVALID_HANDLE_VALUE) return;
    char line[32];
    const int length = std::snprintf(line, sizeof(line), "%lld\n", static_cast<long long>(counter.QuadPart));
    DWORD written = 0;
    WriteFile(out, line, static_cast<DWORD>(length), &written, nullptr);
}
