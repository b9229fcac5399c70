#pragma once
// One plotted point of the stereo picture: the top-left corner of its
// square, in back-buffer pixels. Plain data, any thread.
struct StereoPoint {
    int x = 0;
    int y = 0;
    constexpr bool operator==(const StereoPoint&) const = default;
};
