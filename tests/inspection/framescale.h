#pragma once
// Sets the display-to-frame scales for a frame size as the start-up does
// (gShowAW = gShowW / gImageW, gShowAH = gShowH / gImageH) and restores the
// previous values afterwards.

#include "core/globals.h"

class FrameScale
{
public:
    FrameScale(int w, int h)
    {
        gImageW = w;
        gImageH = h;
        gShowAW = static_cast<float>(gShowW) / static_cast<float>(w);
        gShowAH = static_cast<float>(gShowH) / static_cast<float>(h);
    }
    ~FrameScale()
    {
        gImageW = keepW;
        gImageH = keepH;
        gShowAW = keepAW;
        gShowAH = keepAH;
    }
    FrameScale(const FrameScale&) = delete;
    FrameScale& operator=(const FrameScale&) = delete;

private:
    int keepW = gImageW, keepH = gImageH;
    float keepAW = gShowAW, keepAH = gShowAH;
};
