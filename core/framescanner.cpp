#include "core/framescanner.h"

#include <algorithm>
#include <cstring>

int FrameScanner::append(const uchar* data, int len)
{
    const int n = std::max(0, std::min(len, space()));
    std::memcpy(buf + fill, data, static_cast<size_t>(n));
    fill += n;
    return n;
}

bool FrameScanner::frameAt(int pos, BoardFrame* frame) const
{
    const uchar* p = buf + pos;
    if (p[0] != IOFrame::kStart || p[6] != calcLRC(p, 6) || p[7] != IOFrame::kEnd)
        return false;
    frame->type = p[1];
    std::memcpy(frame->d, p + 2, sizeof frame->d);
    return true;
}

void FrameScanner::consume(int n)
{
    fill -= n;
    std::memmove(buf, buf + n, static_cast<size_t>(fill));
}
