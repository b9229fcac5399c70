#include "platform/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <gtest/gtest.h>

#include <cstdint>

// Every field distinct, so a value stored in its neighbour's place shows.
TEST(WindowPlacement, BytesAreElevenLittleEndianValuesLengthFirst)
{
    CWindowPlacement p;
    p.flags = 2;
    p.showCmd = SW_SHOWMAXIMIZED;
    p.minX = -4;
    p.minY = 5;
    p.maxX = 6;
    p.maxY = 7;
    p.left = 10;
    p.top = 20;
    p.right = 650;
    p.bottom = -2;
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

TEST(WindowPlacement, PlacementOutsideEveryScreenIsBroughtBack)
{
    QWidget window;
    CWindowPlacement p;
    p.left = 50000;
    p.top = 40000;
    p.right = 50640;
    p.bottom = 40480;
    SetTopLevelPlacement(&window, p);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(area.intersects(window.geometry()));
    EXPECT_EQ(window.geometry().size(), QSize(640, 480));
}

// A rectangle on screen is kept, and the show command comes back as stored.
TEST(WindowPlacement, OnScreenPlacementAndShowCommandRoundTrip)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    for (const int showCmd : { SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED }) {
        SCOPED_TRACE(showCmd);
        QWidget window;
        CWindowPlacement p;
        p.showCmd = showCmd;
        p.left = area.left() + 10;
        p.top = area.top() + 20;
        p.right = p.left + 300;
        p.bottom = p.top + 200;
        SetTopLevelPlacement(&window, p);
        EXPECT_EQ(window.isMinimized(), showCmd == SW_SHOWMINIMIZED);
        EXPECT_EQ(window.isMaximized(), showCmd == SW_SHOWMAXIMIZED);
        const CWindowPlacement back = GetTopLevelPlacement(&window);
        EXPECT_EQ(back.showCmd, showCmd);
        if (showCmd != SW_SHOWMAXIMIZED) {
            EXPECT_EQ(window.geometry(), QRect(p.left, p.top, 300, 200));
            EXPECT_EQ(back.left, p.left);
            EXPECT_EQ(back.bottom, p.bottom);
        }
    }
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
        CWindowPlacement p;
        p.left = c.left;
        p.right = c.right;
        p.top = INT32_MIN;
        p.bottom = INT32_MAX;
        const CWindowPlacement clamped = p.Clamped();
        EXPECT_EQ(clamped.left, c.wantLeft) << c.left << " " << c.right;
        EXPECT_EQ(clamped.right, c.wantRight) << c.left << " " << c.right;
        EXPECT_EQ(clamped.top, -(1 << 20));
        EXPECT_EQ(clamped.bottom, 1 << 20);
    }
}

// An 800 x 600 client area at (100, 50), so its right edge is x = 899 and its
// bottom edge y = 649; a caption stays reachable with 32 pixels inside.
TEST(WindowPlacement, ChildWindowsKeepTheirCaptionInsideTheArea)
{
    const QRect area(100, 50, 800, 600);
    struct Case {
        const char* what;
        QRect window;
        QPoint expectedTopLeft;
    };
    const Case cases[] = {
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
    for (const Case& c : cases) {
        const QRect placed = ReachableRect(c.window, area);
        EXPECT_EQ(placed.topLeft(), c.expectedTopLeft) << c.what;
        EXPECT_EQ(placed.size(), c.window.size()) << c.what;
    }
    // Before the area has a size nothing moves.
    EXPECT_EQ(ReachableRect(QRect(5000, 5000, 200, 100), QRect()), QRect(5000, 5000, 200, 100));
}
