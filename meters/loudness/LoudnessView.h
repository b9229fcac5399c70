#pragma once
// The loudness meter's window content ("Loudness Meter"): hosts the display
// control and keeps it filling the view, switches the meter through the hub,
// owns the capture side's measurement (the hub feeds it every block),
// keeps its options and placement in the settings store (section "LUD",
// placement "WinPos"/"LUD"), and gives and takes its per-workspace state as
// a CLoudnessWspRecord for the side file beside the workspace file.
//
// The workspace file's records stay as they are: this view's StoreOptions
// and RestoreOptions leave a CWinSet untouched, and whoever stores
// workspaces asks it for WspRecord()/ApplyWspRecord() instead of sending it
// the workspace hints (they would add a record to the workspace file).
//
// UI thread only.
#include "meters/common/MeterView.h"
#include "meters/loudness/LoudnessCtrl.h"
#include "meters/loudness/LoudnessFeed.h"
#include "workspace/LoudnessWorkspaceView.h"
#include "workspace/LoudnessWspRecord.h"

#include <cstdint>
#include <memory>

class CLoudnessView : public CMeterView, public ILoudnessWorkspaceView {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Loudness Meter";
    static constexpr std::uint32_t kType = 134;

    // Creates the control from the stored settings (first-run defaults when
    // there are none). The on state is only recorded here.
    explicit CLoudnessView(IViewHost& host, QWidget* parent = nullptr);
    ~CLoudnessView() override;

    CLoudnessCtrl* Ctrl() const { return m_pCtrl; }
    CLoudnessFeed& Feed() { return *m_pFeed; }

    int InstrumentType() const override { return static_cast<int>(kType); }
    void OnInitialUpdate() override;
    void OnActivateView(bool activate) override;
    void OnSize(int type) override;
    QSize MinTrackSize() const override;
    void OnDestroy() override;
    // lud::ID_VIEW_ON_OFF.
    bool OnCommand(int id) override;
    COLORREF EraseColor() const override { return lud::kViewEraseColor; }

    // The window's state for workspace `workspace`, and back.
    CLoudnessWspRecord WspRecord(std::uint32_t workspace) const override;
    void ApplyWspRecord(const CLoudnessWspRecord& record) override;

protected:
    IMeterSwitch& Meter() override { return *m_pCtrl; }
    void StoreOptions(CWinSet& /*record*/) override {}
    void RestoreOptions(const CWinSet& /*record*/) override {}
    int ActiveParam() const override { return 0; }
    void resizeEvent(QResizeEvent* event) override;

private:
    void FitControl();

    // The capture side's measurement; the hub feeds it every block.
    std::unique_ptr<CLoudnessFeed> m_pFeed = std::make_unique<CLoudnessFeed>();
    CLoudnessCtrl* m_pCtrl = nullptr;
    bool m_bFirstActivation = true;
    bool m_bMinimized = false;
};
