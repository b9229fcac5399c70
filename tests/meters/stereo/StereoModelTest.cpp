// The stereo meter's pair ring without a display.
#include "meters/stereo/StereoModel.h"

#include <gtest/gtest.h>
#include <vector>

namespace {
std::vector<int> Lefts(const CStereoModel& model)
{
    std::vector<int> lefts;
    model.ForEachOldestFirst([&lefts](int left, int) { lefts.push_back(left); });
    return lefts;
}
}

TEST(StereoModel, KeepsTheLastCountPairsOldestFirst)
{
    const struct {
        int count;
        int pushed;
        int size;
        int oldest;
    } rows[] = { { 256, 10, 10, 0 }, { 256, 256, 256, 0 }, { 256, 300, 256, 44 }, { 1024, 3000, 1024, 1976 },
        { 100, 600, 512, 88 } }; // an invalid count is the default 512
    for (const auto& row : rows) {
        CStereoModel model;
        model.SetCount(row.count);
        for (int i = 0; i < row.pushed; ++i)
            model.Input(i, -i);
        const std::vector<int> lefts = Lefts(model);
        ASSERT_EQ(static_cast<int>(lefts.size()), row.size) << row.count << "/" << row.pushed;
        EXPECT_EQ(lefts.front(), row.oldest) << row.count << "/" << row.pushed;
        EXPECT_EQ(lefts.back(), row.pushed - 1) << row.count << "/" << row.pushed;
    }
    CStereoModel model;
    model.Input(1, 2);
    model.Clear();
    EXPECT_EQ(model.Size(), 0);
}
