#include "platform/WindowPlacement.h"

#include <gtest/gtest.h>

#include <cstdint>

// Every field distinct, so a value stored in its neighbour's place shows.
TEST(WindowPlacement, BytesAreElevenLittleEndianValuesLengthFirst)
{
    const CWindowPlacement p = CWindowPlacement::FromValues({ 44, 2, SW_SHOWMAXIMIZED, -4, 5, 6, 7, 10, 20, 650, -2 });
    const QByteArray bytes = p.ToBytes();
    EXPECT_EQ(bytes.toHex(), QByteArray("2c000000" "02000000" "03000000" "fcffffff" "05000000" "06000000"
                                        "07000000" "0a000000" "14000000" "8a020000" "feffffff"));
    CWindowPlacement back;
    ASSERT_TRUE(CWindowPlacement::FromBytes(bytes, back));
    EXPECT_EQ(back, p);
    // Any other length is refused and leaves the record alone.
    for (const int length : { 43, 45, 0 })
        EXPECT_FALSE(CWindowPlacement::FromBytes(QByteArray(length, '\0'), back)) << length;
    EXPECT_EQ(back, p);
}

// Values a damaged settings entry or workspace file may hold: the extremes
// of a 32-bit value, whose difference does not fit in one.
TEST(WindowPlacement, ExtremeValuesAreClampedSoWidthsCannotOverflow)
{
    const struct {
        std::int32_t left, right;
        std::int32_t wantLeft, wantRight;
    } cases[] = {
        { INT32_MIN, INT32_MAX, -(1 << 20), 1 << 20 },
        { INT32_MAX, INT32_MIN, 1 << 20, 1 << 20 },
        { 10, 650, 10, 650 },
        { -5, -100, -5, -5 },
    };
    for (const auto& c : cases) {
        const CWindowPlacement clamped = CWindowPlacement::FromValues({ 44, 0, 1, 0, 0, 0, 0, c.left, INT32_MIN, c.right, INT32_MAX }).Clamped();
        EXPECT_EQ((std::vector<int> { clamped.left, clamped.top, clamped.right, clamped.bottom }),
                  (std::vector<int> { c.wantLeft, -(1 << 20), c.wantRight, 1 << 20 })) << c.left << " " << c.right;
    }
}

// An 800 x 600 client area at (100, 50), so its right edge is x = 899 and its
// bottom edge y = 649; a caption stays reachable with 32 pixels inside.
TEST(WindowPlacement, ChildWindowsKeepTheirCaptionInsideTheArea)
{
    const QRect area(100, 50, 800, 600);
    const struct {
        const char* what;
        QRect window;
        QPoint expectedTopLeft;
    } cases[] = {
        { "inside", QRect(120, 60, 200, 100), QPoint(120, 60) },
        { "half out on the right, still reachable", QRect(800, 60, 200, 100), QPoint(800, 60) },
        { "past the right edge", QRect(5000, 60, 200, 100), QPoint(868, 60) },
        { "past the left edge", QRect(-5000, 60, 200, 100), QPoint(-68, 60) },
        { "caption above the area", QRect(120, 10, 200, 100), QPoint(120, 50) },
        { "below the bottom", QRect(120, 2000, 200, 100), QPoint(120, 618) },
        { "damaged file's far corner", QRect(-1048576, 1048576, 200, 100), QPoint(-68, 618) },
        { "smaller than the grip", QRect(5000, 5000, 20, 10), QPoint(880, 640) },
        { "larger than the area", QRect(-3000, -3000, 2000, 1500), QPoint(-1868, 50) },
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReachableRect(c.window, area), QRect(c.expectedTopLeft, c.window.size())) << c.what;
    // Before the area has a size nothing moves.
    EXPECT_EQ(ReachableRect(QRect(5000, 5000, 200, 100), QRect()), QRect(5000, 5000, 200, 100));
}
