#pragma once
// The device and sample-rate commands' access to the document: the capture
// object's opened flag and device, the analyzer display and AllMetersOff.
// UI thread only.
#include "workspace/CaptureControl.h"

class CVelmoraDoc;

class CDocCaptureControl : public ICaptureControl {
public:
    explicit CDocCaptureControl(CVelmoraDoc& doc) : m_doc(doc) {}

    bool IsCaptureOpened() const override;
    void SetDeviceId(int id) override;
    void SetSampleRate(int rate) override;
    void SetAnalyzerSampleRate(int rate) override;
    void AllMetersOff() override;

private:
    CVelmoraDoc& m_doc;
};
