#pragma once
// The window placement record: eleven 32-bit values (length 44, flags, show
// command, minimised position, maximised position, normal rectangle), the
// form in which the settings store and the workspace file keep a window's
// place. Plain data; the byte form is little-endian.
#include <QByteArray>
#include <QRect>
#include <array>
#include <cstdint>

class QWidget;

constexpr std::int32_t SW_HIDE = 0;
constexpr std::int32_t SW_SHOWNORMAL = 1;
constexpr std::int32_t SW_SHOWMINIMIZED = 2;
constexpr std::int32_t SW_SHOWMAXIMIZED = 3;
constexpr std::int32_t SW_RESTORE = 9;

struct CWindowPlacement {
    static constexpr int kBytes = 44;

    std::int32_t length = kBytes;
    std::int32_t flags = 0;
    std::int32_t showCmd = SW_SHOWNORMAL;
    std::int32_t minX = -1, minY = -1;
    std::int32_t maxX = -1, maxY = -1;
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;

    // The eleven values in record order.
    std::array<std::int32_t, 11> Values() const;
    static CWindowPlacement FromValues(const std::array<std::int32_t, 11>& v);

    QByteArray ToBytes() const;
    // False (and `out` untouched) unless `bytes` holds exactly 44 bytes.
    static bool FromBytes(const QByteArray& bytes, CWindowPlacement& out);

    bool operator==(const CWindowPlacement&) const = default;

    // Coordinates further out than this are not a place on any screen; a
    // stored value beyond it (a damaged file) is pulled in to it.
    static constexpr std::int32_t kMaxCoordinate = 1 << 20;
    // The placement with every coordinate within +-kMaxCoordinate and the
    // normal rectangle's right/bottom not before its left/top, so that
    // right - left and bottom - top can be computed without overflow.
    CWindowPlacement Clamped() const;
};

// Top-level windows: the placement of a window in screen coordinates, with
// its normal (restored) rectangle and whether it is minimised or maximised.
CWindowPlacement GetTopLevelPlacement(const QWidget* window);
// Applies a placement to a top-level window. A normal rectangle that lies
// outside every screen is moved onto the nearest one, so the window can
// never end up unreachable.
void SetTopLevelPlacement(QWidget* window, const CWindowPlacement& placement);

// Child windows inside an area (an instrument window inside the main
// window's client area): how much of a window must stay inside for its
// caption to be grabbed.
constexpr int kReachableGrip = 32;
// `window` moved the least distance that keeps its top edge inside `area`
// and at least `grip` pixels of it (all of it when smaller) inside both
// ways; its size is kept. An empty area changes nothing.
QRect ReachableRect(const QRect& window, const QRect& area, int grip = kReachableGrip);
