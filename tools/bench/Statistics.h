#pragma once
// Summaries of repeated timings: the median, which other processes on a shared
// machine disturb least, and the minimum, the cost with nothing in the way.

#include <cstddef>
#include <vector>

struct STimingSummary
{
    double median = 0.0;  // same unit as the samples
    double minimum = 0.0; // same unit as the samples
    double mean = 0.0;    // same unit as the samples
    size_t samples = 0;
};

// The samples are reordered. An empty set gives all zeros.
STimingSummary Summarize(std::vector<double>& samples);
