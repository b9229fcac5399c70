#pragma once
// The four display controls of the live program, set up as a first run
// shows them: the PPM, correlation, analyzer and stereo controls at their
// first-run sizes and options (with the command line's PPM and analyzer
// options). lumetra-analyze makes them only for --snapshot, after the file
// has been measured, and has them draw the models' final state once.
//
// The controls live in one host widget that is shown on the offscreen
// platform, so their back buffers have their real sizes.
//
// UI thread only; needs a QApplication.
#include <QWidget>

class CAnalyzeOptions;
class CCorCtrl;
class CFftCtrl;
class COfflineModels;
class CPpmCtrl;
class CStereoCtrl;

class COfflineInstruments {
public:
    explicit COfflineInstruments(const CAnalyzeOptions& options);
    ~COfflineInstruments();
    COfflineInstruments(const COfflineInstruments&) = delete;
    COfflineInstruments& operator=(const COfflineInstruments&) = delete;

    // Draws what `models` measured: bars to their levels, readouts, the
    // correlation pointer and angles, the stereo trace.
    void Show(const COfflineModels& models);

    CPpmCtrl& Ppm() { return *m_pPpm; }
    CCorCtrl& Cor() { return *m_pCor; }
    CFftCtrl& Fft() { return *m_pFft; }
    CStereoCtrl& Stereo() { return *m_pStereo; }

private:
    void CreatePpm(const CAnalyzeOptions& options);
    void CreateCor();
    void CreateFft(const CAnalyzeOptions& options);
    void CreateStereo();
    // Runs every pending full repaint and the work the repaints queue
    // (the bars' marker reset), as the event loop would after a paint.
    void Settle();

    QWidget m_host;
    CPpmCtrl* m_pPpm = nullptr;       // owned by m_host
    CCorCtrl* m_pCor = nullptr;       // owned by m_host
    CFftCtrl* m_pFft = nullptr;       // owned by m_host
    CStereoCtrl* m_pStereo = nullptr; // owned by m_host
};
