#include "tools/bench/Statistics.h"

#include <algorithm>
#include <numeric>

STimingSummary Summarize(std::vector<double>& samples)
{
    STimingSummary summary;
    summary.samples = samples.size();
    if (samples.empty())
    {
        return summary;
    }
    const size_t half = samples.size() / 2;
    std::nth_element(samples.begin(), samples.begin() + half, samples.end());
    summary.median = samples[half];
    if (samples.size() % 2 == 0)
    {
        // The lower half now holds the smaller values, its largest the other
        // middle one.
        summary.median =
            0.5 * (summary.median + *std::max_element(samples.begin(), samples.begin() + half));
    }
    summary.minimum = *std::min_element(samples.begin(), samples.end());
    summary.mean =
        std::accumulate(samples.begin(), samples.end(), 0.0) / static_cast<double>(samples.size());
    return summary;
}
