#include "core/framescanner.h"

#include <algorithm>
#include <cmath>
#include <cstring>

int FrameScanner::append(const uchar* data, int len)
{
    const int n = std::max(0, std::min(len, space()));
    std::memcpy(buf + fill, data, static_cast<size_t>(n));
    fill += n;
    return n;
}

namespace {

// Temperatures a sensor on the board can report, degrees Celsius.
constexpr float kLowestTemperature = -60.0f;
constexpr float kHighestTemperature = 600.0f;

// Known types with data the board can send: any status (only the low two
// bits of its high bytes count), a finite temperature in the sensor's range.
bool plausible(const BoardFrame& f)
{
    switch (f.type) {
    case kBoardStatus:
        return true;
    case kBoardTemp0:
    case kBoardTemp1: {
        const float t = f.temperature();
        return std::isfinite(t) && t >= kLowestTemperature && t <= kHighestTemperature;
    }
    default:
        return false;
    }
}

}  // namespace

bool FrameScanner::frameAt(int pos, BoardFrame* frame) const
{
    if (pos < 0 || fill - pos < IOFrame::kBoardLen)
        return false;
    const uchar* p = buf + pos;
    if (p[0] != IOFrame::kStart || p[6] != calcLRC(p, 6) || p[7] != IOFrame::kEnd)
        return false;
    BoardFrame f;
    f.type = p[1];
    std::memcpy(f.d, p + 2, sizeof f.d);
    if (!plausible(f))
        return false;
    if (frame)
        *frame = f;
    return true;
}

// The candidate at pos is followed by a frame, or ends what was received.
bool FrameScanner::followed(int pos) const
{
    const int next = pos + IOFrame::kBoardLen;
    return next == fill || frameAt(next);
}

bool FrameScanner::yieldsToLater(int pos) const
{
    if (followed(pos))
        return false;
    for (int k = 1; k < IOFrame::kBoardLen; ++k) {
        if (frameAt(pos + k) && followed(pos + k))
            return true;
    }
    return false;
}

void FrameScanner::consume(int n)
{
    fill -= n;
    std::memmove(buf, buf + n, static_cast<size_t>(fill));
}
