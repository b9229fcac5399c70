#include "platform/wavein/FileFrameSource.h"

#include <algorithm>

void CFileFrameSource::Render(std::int16_t* stereo, int frames)
{
    int done = m_pReader->ReadStereo(stereo, frames);
    if (done < frames && m_pReader->Rewind())
        done += m_pReader->ReadStereo(stereo + 2 * done, frames - done);
    // Still short: an empty or failing file plays silence.
    std::fill(stereo + 2 * done, stereo + 2 * frames, std::int16_t { 0 });
}
