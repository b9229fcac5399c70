#pragma once
// One file's loudness figures as the delivery check and the CSV report take
// them. A figure that was not measured is empty; an integrated loudness of
// minus infinity means every block fell below the absolute gate (silence).
//
// Plain value, any thread.
#include <optional>

struct CLoudnessFigures {
    double seconds = 0.0;                  // the file's duration
    std::optional<double> integratedLufs;  // integrated loudness
    std::optional<double> rangeLu;         // loudness range
    std::optional<double> truePeakDbtp;    // highest true peak of any channel
};
