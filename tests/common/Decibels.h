#pragma once
// Levels in decibels, for expectations stated as readings (-6 dBFS, +2 dBTP).
#include <cmath>

inline double Db(double linear) { return 20.0 * std::log10(linear); }
