#pragma once
// The four instruments of one analysed file as models only: the PPM,
// analyzer, correlation and stereo models with the first-run options (and
// the command line's PPM and analyzer options), the correlation estimator
// and the analyzer feed, all tied to one program-wide state object of their
// own, so nothing carries over from one file to the next. Attach() wires
// them into a hub through thin sinks, so the hub drives the same sample work
// as in the live program, with no widget and no event loop.
//
// One thread: the hub's capture-side work and the packets' application run
// on the caller's thread, in block order.
#include "meters/analyzer/FftCaptureState.h"
#include "meters/analyzer/FftModel.h"
#include "meters/common/MeterSharedState.h"
#include "meters/correlation/CorEstimator.h"
#include "meters/correlation/CorModel.h"
#include "meters/ppm/PpmModel.h"
#include "meters/stereo/StereoModel.h"
#include "offline/CorModelSink.h"
#include "offline/FftModelSink.h"
#include "offline/PpmModelSink.h"
#include "offline/StereoModelSink.h"

#include <memory>

class CAnalyzeOptions;
class CFftFeed;
class CVelmoraDoc;

class COfflineModels {
public:
    explicit COfflineModels(const CAnalyzeOptions& options);
    ~COfflineModels();
    COfflineModels(const COfflineModels&) = delete;
    COfflineModels& operator=(const COfflineModels&) = delete;

    // False when the analyzer's transform could not be prepared.
    bool IsReady() const;
    // The capture rate, as the hub hands it to the analyzer.
    void SetSampleRate(int rate) { m_fftSink.SetSampleRate(rate); }
    int SampleRate() const { return m_fftSink.SampleRate(); }

    void Attach(CVelmoraDoc& doc);
    void Detach(CVelmoraDoc& doc);

    const CPpmModel& Ppm() const { return m_ppm; }
    const CFftModel& Fft() const { return m_fft; }
    const CCorModel& Cor() const { return m_cor; }
    const CStereoModel& Stereo() const { return m_stereo; }
    const CFftCaptureState& FftCaptureState() const { return m_fftState; }

private:
    CMeterSharedState m_shared;
    CPpmModel m_ppm;
    CFftModel m_fft;
    CCorModel m_cor;
    CStereoModel m_stereo;
    CCorEstimator m_estimator;
    CFftCaptureState m_fftState;
    std::unique_ptr<CFftFeed> m_pFeed;
    CPpmModelSink m_ppmSink;
    CFftModelSink m_fftSink;
    CCorModelSink m_corSink;
    CStereoModelSink m_stereoSink;
};
