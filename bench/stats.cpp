#include "stats.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace bench {
namespace {

// Nearest-rank percentile of sorted samples, p in (0, 100].
double Percentile(const std::vector<double>& sorted, double p) {
    const auto rank = static_cast<std::size_t>(std::ceil(p / 100.0 * sorted.size()));
    return sorted[std::max<std::size_t>(rank, 1) - 1];
}

}  // namespace

Summary Summarise(std::vector<double> samples) {
    Summary s;
    if (samples.empty()) {
        return s;
    }
    std::sort(samples.begin(), samples.end());
    const std::size_t n = samples.size();
    s.median = n % 2 == 1 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
    s.p95 = Percentile(samples, 95);
    return s;
}

}  // namespace bench
