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
    // frame counts only with its start, known type, plausible temperature, checksum
    // and end byte; any other byte is skipped alone, so the search goes on
    // inside a damaged frame. The format has no escaping, so line noise can
    // form a false frame that ends inside a real one: a candidate gives way
    // to a complete candidate starting inside it when only the later one is
    // followed by a frame (or by the end of what was received).
    template <class OnFrame>
    void scan(OnFrame&& onFrame)
    {
        int pos = 0;
        BoardFrame frame;
        while (fill - pos >= IOFrame::kBoardLen) {
            if (frameAt(pos, &frame) && !yieldsToLater(pos)) {
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
    bool frameAt(int pos, BoardFrame* frame = nullptr) const;
    bool followed(int pos) const;
    bool yieldsToLater(int pos) const;
    void consume(int n);

    uchar buf[kCapacity] = {};
    int fill = 0;
};
