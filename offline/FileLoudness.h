#pragma once
// One file's loudness: every channel of the file fed to the loudness model
// in its exact mode (each gating block kept, so the integrated value and
// the range are those of the whole file, not of a histogram), the channels
// weighed by what they are (see CLoudnessLayout). Gives the report's
// "loudness" object (which the delivery check judges) and the timeline's
// momentary and short-term fields.
//
// A value the file is too short (or too quiet) for is null in the report
// with a note saying why, never minus infinity.
//
// One thread at a time (but for the two parts of Add); each file owns its own.
#include "meters/loudness/LoudnessModel.h"
#include "offline/LoudnessLayout.h"

#include <QJsonArray>
#include <QJsonObject>

#include <vector>

class CFileLoudness {
public:
    // False when the model cannot measure this rate or channel count.
    bool Open(int channels, int rate, const std::vector<int>& channelMap, int maxFrames);
    bool IsOpen() const { return m_model.IsOpen(); }

    // `frames` interleaved frames with every channel of the file.
    void Add(const float* frames, int count);
    // Add in two parts for two threads, which may run at the same time:
    // everything but the true peak, then the true peak alone (about a
    // quarter of the work). A file whose channels must be rearranged first
    // is measured whole by the first part.
    void AddAllButTruePeak(const float* frames, int count);
    void AddTruePeak(const float* frames, int count);

    // {integrated_lufs, range_lu, max_momentary_lufs, max_short_term_lufs,
    //  true_peak_dbtp[], sample_peak_dbfs[]}.
    QJsonObject Report() const;
    // Why values are null, and how the channels were weighed.
    QJsonArray Notes() const;
    // momentary_lufs and short_term_lufs as they are now.
    void AddTimelineFields(QJsonObject& entry) const;

private:
    CLoudnessModel m_model;
    CLoudnessLayout m_layout;
    std::vector<float> m_rearranged;
    int m_nChannels = 0;
};
