#pragma once

#include <vector>

namespace bench {

struct Summary {
    double median = 0;
    double p95 = 0;  // 95th percentile, nearest rank
};

// Median and 95th percentile of the samples; both 0 for none.
Summary Summarise(std::vector<double> samples);

}  // namespace bench
