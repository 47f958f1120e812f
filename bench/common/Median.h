// The middle of a set of timings: what the benchmarks report, since a shared machine's outliers
// would pull a mean.
#pragma once

#include <algorithm>
#include <vector>

namespace Bench {

inline double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

} // namespace Bench
