#include "core/framescanner.h"

#include <algorithm>
#include <cstring>

namespace {
bool frameAt(const uchar* p)
{
    return p[0] == IOFrame::kStart && p[6] == calcLRC(p, 6) && p[7] == IOFrame::kEnd;
}
}  // namespace

int FrameScanner::append(const uchar* data, int len)
{
    const int n = std::max(0, std::min(len, space()));
    std::memcpy(buf + fill, data, static_cast<size_t>(n));
    fill += n;
    return n;
}

void FrameScanner::scan(const std::function<void(const BoardFrame&)>& onFrame)
{
    int pos = 0;
    while (fill - pos >= IOFrame::kBoardLen) {
        const uchar* p = buf + pos;
        if (!frameAt(p)) {
            ++pos;
            continue;
        }
        BoardFrame frame;
        frame.type = p[1];
        std::memcpy(frame.d, p + 2, sizeof frame.d);
        onFrame(frame);
        pos += IOFrame::kBoardLen;
    }
    fill -= pos;
    std::memmove(buf, buf + pos, static_cast<size_t>(fill));
}
