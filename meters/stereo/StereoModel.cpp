#include "meters/stereo/StereoModel.h"

void CStereoModel::SetCount(int count)
{
    Clear();
    m_nCount = ValidPointCount(count);
}

void CStereoModel::Clear()
{
    m_nPos = 0;
    m_bFull = false;
}
