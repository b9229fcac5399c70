#pragma once
// The hub fed by hand as the capture thread would feed it: blocks out of a
// 64 KiB sample area, then the packets applied as the UI thread applies them.
#include "audio/AudioCapture.h"
#include "audio/VelmoraDoc.h"
#include "tests/common/FakeMeterSinks.h"

#include <vector>

class CHandFedHub {
public:
    static constexpr int kBuffers = 32;
    static constexpr int kFrames = 512;

    CHandFedHub() : area(kBuffers * kFrames * 2), doc(capture)
    {
        doc.SetPpm(&ppm);
        doc.SetStereo(&stereo);
        doc.SetCor(&cor);
        doc.SetFft(&fft);
        doc.SetCorrelationEstimator(&estimator);
        doc.SetAnalyzerFeed(&feed);
    }
    std::int16_t* Buffer(int i) { return area.data() + i * kFrames * 2; }
    void FillBuffer(int i, std::int16_t left, std::int16_t right)
    {
        for (int f = 0; f < kFrames; ++f) {
            Buffer(i)[2 * f] = left;
            Buffer(i)[2 * f + 1] = right;
        }
    }
    void Deliver(int i)
    {
        doc.ProcessBlock(reinterpret_cast<const std::uint8_t*>(Buffer(i)), reinterpret_cast<const std::uint8_t*>(area.data()));
    }

    std::vector<std::int16_t> area;
    CAudioCapture capture;
    CVelmoraDoc doc;
    CFakePpm ppm;
    CFakeStereo stereo;
    CFakeCor cor;
    CFakeFft fft;
    CFakeEstimator estimator;
    CFakeFeed feed;
};
