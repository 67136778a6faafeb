#include "utils.h"

#include <cstring>
#include <gtest/gtest.h>
#include <set>

namespace {

TEST(GameRand, CoversExactly0To32767) {
    ResetGameRand();
    int lowest = 1 << 20, highest = -1;
    std::set<int> seen;
    for (int i = 0; i < 2000000; ++i) {
        const int n = GameRand();
        lowest = std::min(lowest, n);
        highest = std::max(highest, n);
        seen.insert(n);
    }
    EXPECT_EQ(lowest, 0);
    EXPECT_EQ(highest, 32767);
    EXPECT_EQ(seen.size(), 32768u);
}

TEST(GameRand, RestartsTheSameSequence) {
    ResetGameRand();
    const int a = GameRand(), b = GameRand();
    ResetGameRand();
    EXPECT_EQ(GameRand(), a);
    EXPECT_EQ(GameRand(), b);
}

TEST(FloatRand, ConstantIsTheSinglePrecisionInverseOf32767) {
    const float c = 3.0518509e-05f;
    unsigned bits;
    std::memcpy(&bits, &c, sizeof bits);
    EXPECT_EQ(bits, 0x38000100u);
}

TEST(FloatRand, StaysWithinZeroAndOneForEveryGeneratorOutput) {
    // Every output 0..32767 appears within two million draws (checked above).
    ResetGameRand();
    float lowest = 2.0f, highest = -1.0f;
    for (int i = 0; i < 2000000; ++i) {
        const float f = FloatRand();
        lowest = std::min(lowest, f);
        highest = std::max(highest, f);
    }
    EXPECT_EQ(lowest, 0.0f);
    EXPECT_GE(highest, 1.0f - 1e-6f);
    EXPECT_LE(highest, 1.0f + 1e-6f);
}

}  // namespace
