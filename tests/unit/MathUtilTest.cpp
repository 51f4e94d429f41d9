#include "render/MathUtil.h"

#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>

TEST(MathUtil, MinMaxReturnTheSecondOnTies) {
    EXPECT_EQ(MinF(1.0f, 2.0f), 1.0f);
    EXPECT_EQ(MinF(2.0f, 1.0f), 1.0f);
    EXPECT_EQ(MaxF(1.0f, 2.0f), 2.0f);
    EXPECT_EQ(MaxF(2.0f, 1.0f), 2.0f);
    // Signed zeros tell the two arguments apart.
    EXPECT_TRUE(std::signbit(MinF(0.0f, -0.0f)));
    EXPECT_TRUE(std::signbit(MaxF(0.0f, -0.0f)));
}

TEST(MathUtil, InterpolationHitsBothEndsAndTheMiddle) {
    struct Case {
        float A, B, T, Linear, Cosine;
    };
    const Case cases[] = {
        {2.0f, 6.0f, 0.0f, 2.0f, 2.0f},
        {2.0f, 6.0f, 1.0f, 6.0f, 6.0f},
        {2.0f, 6.0f, 0.5f, 4.0f, 4.0f},
        {-1.0f, 1.0f, 0.25f, -0.5f, -0.70710677f},
    };
    for (const Case& c : cases) {
        EXPECT_FLOAT_EQ(Lerp(c.A, c.B, c.T), c.Linear) << c.T;
        EXPECT_NEAR(CosineLerp(c.A, c.B, c.T), c.Cosine, 1e-6f) << c.T;
    }
    // The cosine curve leaves its ends with zero slope.
    EXPECT_LT(CosineLerp(0.0f, 1.0f, 0.01f), Lerp(0.0f, 1.0f, 0.01f) * 0.1f);
}

TEST(MathUtil, RandomFloatStaysInItsRangeWhateverTheGenerator) {
    std::srand(12345);
    EXPECT_EQ(RandomFloat(0.0), 0.0);
    double largest = 0.0;
    for (int i = 0; i < 100000; ++i) {
        const double r = RandomFloat(20.0);
        ASSERT_GE(r, 0.0);
        ASSERT_LT(r, 20.0);
        largest = r > largest ? r : largest;
    }
    // The whole range is used, in steps of range / 32768.
    EXPECT_GT(largest, 19.9);
    const double step = RandomFloat(32768.0);
    EXPECT_EQ(step, double(int(step)));
}

TEST(MathUtil, ClampLengthShortensOnlyLongVectors) {
    const struct {
        float X, Y, Limit, ExpectedX, ExpectedY;
    } cases[] = {
        {3, 4, 10, 3, 4}, {3, 4, 5, 3, 4}, {3, 4, 2.5f, 1.5f, 2}, {0, 0, 0, 0, 0}}; // 5: at the limit
    for (const auto& c : cases) {
        float x = c.X, y = c.Y, z = 0.0f;
        ClampLength(x, y, z, c.Limit);
        EXPECT_EQ(x, c.ExpectedX) << c.Limit;
        EXPECT_EQ(y, c.ExpectedY) << c.Limit;
        EXPECT_EQ(z, 0.0f) << c.Limit;
    }
}
