#pragma once
// The four instruments of the live program, set up as a first run shows
// them and switched on: the PPM, correlation, analyzer and stereo display
// controls at their first-run sizes and options (with the command line's
// PPM and analyzer options), the correlation estimator and the analyzer
// feed. Attach() wires them into a hub exactly as the views do, so the hub
// drives the same code in the offline program as in the live one.
//
// The controls live in one host widget that is shown on the offscreen
// platform, so their back buffers have their real sizes.
//
// UI thread only; the estimator and the feed run where the hub runs them.
#include "meters/correlation/CorEstimator.h"
#include "offline/CorReadingTap.h"
#include "offline/FftPeakTap.h"

#include <QWidget>
#include <memory>

class CAnalyzeOptions;
class CCorCtrl;
class CFftCtrl;
class CFftFeed;
class CPpmCtrl;
class CStereoCtrl;
class CVelmoraDoc;

class COfflineInstruments {
public:
    explicit COfflineInstruments(const CAnalyzeOptions& options);
    ~COfflineInstruments();
    COfflineInstruments(const COfflineInstruments&) = delete;
    COfflineInstruments& operator=(const COfflineInstruments&) = delete;

    // False when the analyzer's transform could not be prepared.
    bool IsReady() const;

    // The capture rate, as the hub hands it to the analyzer when the
    // device opens at a rate other than 44100 Hz.
    void SetSampleRate(int rate);
    // Wiring into the hub, as the views' initial updates do it; the taps
    // stand in the correlation and analyzer slots.
    void Attach(CVelmoraDoc& doc);
    void Detach(CVelmoraDoc& doc);

    // Runs every pending full repaint and the work the repaints queue
    // (the bars' marker reset), as the event loop would after a paint.
    void Settle();
    // Delivers the meter ticks the PPM relayed to the analyzer since the
    // last call.
    static void DeliverRelayedTicks();

    CPpmCtrl& Ppm() { return *m_pPpm; }
    CCorCtrl& Cor() { return *m_pCor; }
    CFftCtrl& Fft() { return *m_pFft; }
    CStereoCtrl& Stereo() { return *m_pStereo; }
    CFftFeed& Feed() { return *m_pFeed; }
    const CCorReadingTap& CorTap() const { return *m_pCorTap; }
    const CFftPeakTap& FftTap() const { return *m_pFftTap; }

private:
    void CreatePpm(const CAnalyzeOptions& options);
    void CreateCor();
    void CreateFft(const CAnalyzeOptions& options);
    void CreateStereo();

    QWidget m_host;
    CPpmCtrl* m_pPpm = nullptr;       // owned by m_host
    CCorCtrl* m_pCor = nullptr;       // owned by m_host
    CFftCtrl* m_pFft = nullptr;       // owned by m_host
    CStereoCtrl* m_pStereo = nullptr; // owned by m_host
    std::unique_ptr<CFftFeed> m_pFeed;
    CCorEstimator m_estimator;
    std::unique_ptr<CCorReadingTap> m_pCorTap;
    std::unique_ptr<CFftPeakTap> m_pFftTap;
};
