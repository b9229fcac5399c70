#pragma once
// Plays a sound file as a frame source, looping at its end. An empty file or
// one that stops reading gives silence, never a stall. Pacing thread only
// after construction.
#include "platform/wavein/FrameSource.h"
#include "platform/wavein/SoundFileReader.h"

#include <memory>

class CFileFrameSource : public IFrameSource {
public:
    explicit CFileFrameSource(std::unique_ptr<CSoundFileReader> reader) : m_pReader(std::move(reader)) {}
    void Render(std::int16_t* stereo, int frames) override;

private:
    std::unique_ptr<CSoundFileReader> m_pReader;
};
