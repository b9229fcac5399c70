#pragma once
// Told when the user starts and ends moving or sizing a window, so the meter
// tick can pause and the displays be reset afterwards. UI thread only.
class ISizeMoveListener {
public:
    virtual ~ISizeMoveListener() = default;
    virtual void OnEnterSizeMove() = 0;
    virtual void OnExitSizeMove() = 0;
};
