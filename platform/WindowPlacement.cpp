#include "platform/WindowPlacement.h"

#include <algorithm>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QtEndian>
#include <climits>

std::array<std::int32_t, 11> CWindowPlacement::Values() const
{
    return { length, flags, showCmd, minX, minY, maxX, maxY, left, top, right, bottom };
}

CWindowPlacement CWindowPlacement::FromValues(const std::array<std::int32_t, 11>& v)
{
    CWindowPlacement p;
    p.length = v[0];
    p.flags = v[1];
    p.showCmd = v[2];
    p.minX = v[3];
    p.minY = v[4];
    p.maxX = v[5];
    p.maxY = v[6];
    p.left = v[7];
    p.top = v[8];
    p.right = v[9];
    p.bottom = v[10];
    return p;
}

QByteArray CWindowPlacement::ToBytes() const
{
    QByteArray bytes(kBytes, '\0');
    const auto values = Values();
    for (int i = 0; i < 11; ++i)
        qToLittleEndian<std::int32_t>(values[i], bytes.data() + 4 * i);
    return bytes;
}

bool CWindowPlacement::FromBytes(const QByteArray& bytes, CWindowPlacement& out)
{
    if (bytes.size() != kBytes)
        return false;
    std::array<std::int32_t, 11> values {};
    for (int i = 0; i < 11; ++i)
        values[i] = qFromLittleEndian<std::int32_t>(bytes.constData() + 4 * i);
    out = FromValues(values);
    return true;
}

CWindowPlacement GetTopLevelPlacement(const QWidget* window)
{
    CWindowPlacement p;
    const QRect normal = window->isMaximized() || window->isMinimized() ? window->normalGeometry() : window->geometry();
    p.left = normal.left();
    p.top = normal.top();
    p.right = normal.left() + normal.width();
    p.bottom = normal.top() + normal.height();
    p.showCmd = window->isMinimized() ? SW_SHOWMINIMIZED : window->isMaximized() ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    return p;
}

namespace {
// Moves `r` the least distance that puts it inside the nearest screen's
// available area (or at its top-left when it is larger than the screen).
QRect OntoNearestScreen(const QRect& r)
{
    const auto screens = QGuiApplication::screens();
    if (screens.isEmpty())
        return r;
    for (const QScreen* s : screens) {
        if (s->availableGeometry().intersects(r))
            return r;
    }
    const QScreen* nearest = screens.first();
    long best = LONG_MAX;
    for (const QScreen* s : screens) {
        const QPoint d = s->availableGeometry().center() - r.center();
        const long dist = static_cast<long>(d.x()) * d.x() + static_cast<long>(d.y()) * d.y();
        if (dist < best) {
            best = dist;
            nearest = s;
        }
    }
    const QRect area = nearest->availableGeometry();
    QRect moved = r;
    moved.moveLeft(std::max(area.left(), std::min(r.left(), area.right() + 1 - r.width())));
    moved.moveTop(std::max(area.top(), std::min(r.top(), area.bottom() + 1 - r.height())));
    return moved;
}
}

CWindowPlacement CWindowPlacement::Clamped() const
{
    const auto clamp = [](std::int32_t v) { return std::clamp(v, -kMaxCoordinate, kMaxCoordinate); };
    CWindowPlacement p = *this;
    p.minX = clamp(minX);
    p.minY = clamp(minY);
    p.maxX = clamp(maxX);
    p.maxY = clamp(maxY);
    p.left = clamp(left);
    p.top = clamp(top);
    p.right = std::max(p.left, clamp(right));
    p.bottom = std::max(p.top, clamp(bottom));
    return p;
}

void SetTopLevelPlacement(QWidget* window, const CWindowPlacement& stored)
{
    const CWindowPlacement placement = stored.Clamped();
    const QRect normal(placement.left, placement.top, placement.right - placement.left, placement.bottom - placement.top);
    if (normal.width() > 0 && normal.height() > 0)
        window->setGeometry(OntoNearestScreen(normal));
    switch (placement.showCmd) {
    case SW_SHOWMINIMIZED: window->setWindowState(Qt::WindowMinimized); break;
    case SW_SHOWMAXIMIZED: window->setWindowState(Qt::WindowMaximized); break;
    default: window->setWindowState(Qt::WindowNoState); break;
    }
}

QRect ReachableRect(const QRect& window, const QRect& area, int grip)
{
    if (area.isEmpty() || window.isEmpty())
        return window;
    const int gripX = std::min(grip, window.width());
    const int gripY = std::min(grip, window.height());
    // Bounds in 64 bits: a window read from a damaged file can sit at the
    // far end of the coordinate range. In an area narrower than the grip
    // the window starts at the area's edge.
    const long long minLeft = static_cast<long long>(area.left()) - window.width() + gripX;
    const long long maxLeft = std::max(minLeft, static_cast<long long>(area.right()) + 1 - gripX);
    const long long minTop = area.top();
    const long long maxTop = std::max(minTop, static_cast<long long>(area.bottom()) + 1 - gripY);
    const long long left = std::clamp<long long>(window.left(), minLeft, maxLeft);
    const long long top = std::clamp<long long>(window.top(), minTop, maxTop);
    return QRect(static_cast<int>(left), static_cast<int>(top), window.width(), window.height());
}
