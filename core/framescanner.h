#pragma once
// Receive buffer of the IO link: bytes from the port are appended, complete
// board frames are taken out from its start, and the 0..7 bytes that may
// begin the next frame are kept for the next pass.

#include "core/ioframe.h"

#include <functional>

class FrameScanner
{
public:
    static constexpr int kCapacity = 1024;

    // Room left for the next read.
    int space() const { return kCapacity - fill; }
    // Appends at most space() bytes; returns how many were taken.
    int append(const uchar* data, int len);
    // Hands every board frame to onFrame, in order. A byte that does not
    // start a frame with correct checksum and end byte is skipped alone, so
    // the search goes on inside a damaged frame.
    void scan(const std::function<void(const BoardFrame&)>& onFrame);
    int pending() const { return fill; }

private:
    uchar buf[kCapacity] = {};
    int fill = 0;
};
