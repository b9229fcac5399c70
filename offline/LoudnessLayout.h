#pragma once
// Where each channel of a file goes in the loudness model. The model
// weighs its channels by position in the usual interleaved order of their
// count (L R C LFE Ls Rs for six: fronts 1.0, surrounds beside the
// listener 1.41, the LFE left out). A file whose channel mask names its
// channels in another order is rearranged into that order, so each channel
// gets the weight of what it is, not of where it sits.
//
// Plain value, any thread.
#include <QString>

#include <vector>

class CLoudnessLayout {
public:
    // `channelMap` holds libsndfile's channel roles (empty: the file names
    // none, the usual order is assumed).
    static CLoudnessLayout For(int channels, const std::vector<int>& channelMap);

    // True when the file's channels are fed in their own order.
    bool IsIdentity() const { return m_source.empty(); }
    // The file channel that feeds model channel `slot`.
    int SourceOf(int slot) const { return m_source.empty() ? slot : m_source[static_cast<std::size_t>(slot)]; }
    // Set when the mask could not be matched to the usual order (the
    // channels are then weighed in the usual order, and the report says so).
    const QString& Note() const { return m_note; }

    // Copies `frames` frames from the file's order into the model's.
    void Rearrange(const float* file, float* model, int channels, int frames) const;

private:
    std::vector<int> m_source;
    QString m_note;
};
