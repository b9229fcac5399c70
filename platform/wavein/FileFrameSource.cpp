#include "platform/wavein/FileFrameSource.h"

#include <algorithm>

void CFileFrameSource::Render(std::int16_t* stereo, int frames)
{
    int done = m_pReader->ReadStereo(stereo, frames);
    // A file shorter than a block wraps several times within it.
    while (done < frames && m_pReader->Rewind()) {
        const int got = m_pReader->ReadStereo(stereo + 2 * done, frames - done);
        if (got == 0)
            break;
        done += got;
    }
    // Still short: an empty or failing file plays silence.
    std::fill(stereo + 2 * done, stereo + 2 * frames, std::int16_t { 0 });
}
