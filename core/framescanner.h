#pragma once
// Receive buffer of the IO link: bytes from the port are appended, complete
// board frames are taken out from its start, and the 0..7 bytes that may
// begin the next frame are kept for the next pass.

#include "core/ioframe.h"

class FrameScanner
{
public:
    static constexpr int kCapacity = 1024;

    // Room left for the next read.
    int space() const { return kCapacity - fill; }
    // Appends at most space() bytes; returns how many were taken.
    int append(const uchar* data, int len);
    // Hands every board frame to onFrame(const BoardFrame&), in order. A
    // byte that does not start a frame with correct checksum and end byte is
    // skipped alone, so the search goes on inside a damaged frame.
    template <class OnFrame>
    void scan(OnFrame&& onFrame)
    {
        int pos = 0;
        BoardFrame frame;
        while (fill - pos >= IOFrame::kBoardLen) {
            if (frameAt(pos, &frame)) {
                onFrame(static_cast<const BoardFrame&>(frame));
                pos += IOFrame::kBoardLen;
            } else {
                ++pos;
            }
        }
        consume(pos);
    }
    int pending() const { return fill; }

private:
    bool frameAt(int pos, BoardFrame* frame) const;
    void consume(int n);

    uchar buf[kCapacity] = {};
    int fill = 0;
};
