#include "core/Figures.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(Figures, KibibytesRoundToTheNearestWithHalvesUp) {
    EXPECT_EQ(RoundedKibibytes(0), 0u);
    EXPECT_EQ(RoundedKibibytes(511), 0u);
    EXPECT_EQ(RoundedKibibytes(512), 1u);
    EXPECT_EQ(RoundedKibibytes(1535), 1u);
    EXPECT_EQ(RoundedKibibytes(4294967295ull), 4194304u);
    EXPECT_EQ(RoundedKibibytes(16ull << 30), 16777216u);
    // Exact where a double would have lost the last units.
    EXPECT_EQ(RoundedKibibytes(UINT64_MAX), (UINT64_MAX >> 10) + 1);
    EXPECT_EQ(MemoryLoadText(0), "0 %");
    EXPECT_EQ(MemoryLoadText(100), "100 %");
}
