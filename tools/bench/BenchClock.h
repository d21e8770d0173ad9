// The clock and the middle figure shared by the benchmark programs that run under Wine.
#pragma once

#include "framework/Win32.h"

#include <algorithm>
#include <vector>

namespace bench {

// Milliseconds on the performance counter.
inline double Now()
{
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return double(counter.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

// The median of the runs: one slow run of a busy machine does not move it.
inline double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

} // namespace bench
