#pragma once
// What the device and sample-rate commands need of the document and the
// capture device. CDocCaptureControl implements it over the document; tests
// use a stand-in. UI thread only.
class ICaptureControl {
public:
    virtual ~ICaptureControl() = default;
    // The capture object's opened flag: true between the device's open and
    // close notices, that is while at least one instrument runs.
    virtual bool IsCaptureOpened() const = 0;
    // Stores the device id (-1: the system's default) used at the next open.
    virtual void SetDeviceId(int id) = 0;
    // Stores the sample rate used at the next open.
    virtual void SetSampleRate(int rate) = 0;
    // Tells the analyzer display the rate its frequency scale is drawn for.
    virtual void SetAnalyzerSampleRate(int rate) = 0;
    // Switches every instrument off; the device closes after the last.
    virtual void AllMetersOff() = 0;
};
