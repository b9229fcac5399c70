#pragma once
// The correlation meter's colours as its tests look for them on screen.
#include "platform/ColorRef.h"

inline constexpr COLORREF kCorBlack = RGB(0, 0, 0);
inline constexpr COLORREF kCorGreen = RGB(0, 255, 0);
inline constexpr COLORREF kCorRed = RGB(255, 0, 0);
inline constexpr COLORREF kCorYellow = RGB(255, 255, 0);
inline constexpr COLORREF kCorGrey = RGB(128, 128, 128);
inline constexpr COLORREF kCorScaleText = RGB(192, 192, 255);
inline constexpr COLORREF kCorCyan = RGB(0, 255, 255);
