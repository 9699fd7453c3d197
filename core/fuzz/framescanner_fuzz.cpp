// Fuzz target of the IO link's receive buffer and board-frame codec.
//
// The input is line noise followed by the description of two frames (five
// bytes each: a type selector and four data bytes). The noise and both
// frames, made valid, are received at once; whatever the noise, the scanner
// must hand over the second frame, unchanged, as its last frame.

#include "core/framescanner.h"
#include "core/ioframe.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr size_t kDescription = 5;

// A valid board frame from five bytes: status, or a temperature the sensor
// can report (-50.00 to 549.99 degrees).
std::vector<uchar> makeFrame(const uint8_t* d)
{
    BoardFrame f;
    f.type = uchar(kBoardStatus + d[0] % 3);
    std::memcpy(f.d, d + 1, 4);
    if (f.type != kBoardStatus) {
        const float t = float((d[1] | d[2] << 8) % 60000) / 100.0f - 50.0f;
        std::memcpy(f.d, &t, 4);   // little-endian float, as the board sends it
    }
    std::vector<uchar> frame = {IOFrame::kStart, f.type, f.d[0], f.d[1], f.d[2], f.d[3]};
    frame.push_back(calcLRC(frame.data(), 6));
    frame.push_back(IOFrame::kEnd);
    return frame;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2 * kDescription)
        return 0;
    size_t noise = size - 2 * kDescription;
    if (noise > FrameScanner::kCapacity - 2 * IOFrame::kBoardLen)
        noise = FrameScanner::kCapacity - 2 * IOFrame::kBoardLen;
    std::vector<uchar> wire(data, data + noise);
    const std::vector<uchar> first = makeFrame(data + size - 2 * kDescription);
    const std::vector<uchar> second = makeFrame(data + size - kDescription);
    wire.insert(wire.end(), first.begin(), first.end());
    wire.insert(wire.end(), second.begin(), second.end());

    FrameScanner scanner;
    if (scanner.append(wire.data(), int(wire.size())) != int(wire.size()))
        std::abort();
    BoardFrame last;
    int frames = 0;
    scanner.scan([&](const BoardFrame& f) {
        last = f;
        ++frames;
    });
    if (frames == 0 || last.type != second[1] || std::memcmp(last.d, second.data() + 2, 4) != 0) {
        std::fprintf(stderr, "the second frame was lost (%d frames handed over)\n", frames);
        std::abort();
    }
    if (scanner.pending() != 0)
        std::abort();   // bytes after the last frame
    return 0;
}
