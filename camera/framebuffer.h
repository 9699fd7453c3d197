#pragma once
// The frame hand-off between a camera's producer and the run controller.
// The camera view owns one CameraFrameBuffer per position (its incoming
// frame); producers copy finished frames into it under pMutex[position] and
// set isImageFill[position]; the run controller takes the newest frame out.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// The incoming frame of one camera position: gColorLen bytes, one byte per
// pixel in grey mode, four (B, G, R, 255: 0xffRRGGBB) in colour mode.
struct CameraFrameBuffer {
    std::vector<uint8_t> imageIn;
    int width = 0;
    int height = 0;
    bool colour = false;
    // The latest frame the producer offered was refused (not of the buffer's
    // size, or no picture at all): its size, under pMutex[position].
    bool lastRefused = false;
    int refusedWidth = 0;
    int refusedHeight = 0;

    void allocate(int w, int h, bool colourMode);
    size_t size() const { return imageIn.size(); }
};

enum class PixelLayout { Grey8, Rgb24 };

// A finished frame as a producer has it.
struct FrameView {
    const uint8_t* data = nullptr;
    int width = 0;
    int height = 0;
    PixelLayout layout = PixelLayout::Grey8;
    int stride = 0;   // bytes per row; 0 for packed rows
};

// Copies frame into the buffer (converted to the buffer's layout) and marks a
// new frame. Refused, leaving the buffer's picture as it was, when the frame
// is not of the buffer's size or has no picture; the refusal is kept until
// the next usable frame (FrameRefusal).
bool HandOverFrame(int position, CameraFrameBuffer& buffer, const FrameView& frame);

// The run controller's take-over: when a new frame waits, copies it to
// imageRaw (length bytes, at least the buffer's size), clears the mark and
// returns true.
bool TakeNewestFrame(int position, const CameraFrameBuffer& buffer, uint8_t* imageRaw, size_t length);
// The same into the bytes destination gives for the buffer's size, asked for
// only when a new frame waits; nothing is taken when it gives none.
using FrameDestination = std::function<uint8_t*(size_t length)>;
bool TakeNewestFrame(int position, const CameraFrameBuffer& buffer, const FrameDestination& destination);

// Whether the latest frame offered at position was refused, with its size.
struct FrameRefusal {
    bool refused = false;
    int width = 0;
    int height = 0;
};
FrameRefusal LatestFrameRefusal(int position, const CameraFrameBuffer& buffer);
