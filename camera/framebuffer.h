#pragma once
// The frame hand-off between a camera's producer and the run controller.
// The camera view owns one CameraFrameBuffer per position (its incoming
// frame); a producer writes a finished frame into the buffer's spare frame,
// then under pMutex[position] makes it the incoming frame and sets
// isImageFill[position]; the run controller takes the newest frame out.

#include <opencv2/core/mat.hpp>

#include <cstddef>
#include <cstdint>
#include <functional>

// The incoming frame of one camera position: gColorLen bytes, one byte per
// pixel in grey mode, four (B, G, R, 255: 0xffRRGGBB) in colour mode.
struct CameraFrameBuffer {
    cv::Mat imageIn;   // height x width, CV_8UC1 or CV_8UC4
    cv::Scalar mean;   // of imageIn's frame, measured as it was handed over
    cv::Mat spare;     // the producer's alone: where it writes the next frame
    int width = 0;
    int height = 0;
    bool colour = false;
    // The latest frame the producer offered was refused (not of the buffer's
    // size, or no picture at all): its size, under pMutex[position].
    bool lastRefused = false;
    int refusedWidth = 0;
    int refusedHeight = 0;

    void allocate(int w, int h, bool colourMode);
    size_t size() const { return imageIn.total() * imageIn.elemSize(); }
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
// new frame; the calling thread first works at a lower priority than before
// (once: a producer gives way to the run controller). Refused, leaving the
// buffer's picture as it was, when the frame is not of the buffer's size or
// has no picture; the refusal is kept until the next usable frame
// (FrameRefusal).
bool HandOverFrame(int position, CameraFrameBuffer& buffer, const FrameView& frame);

// The run controller's take-over: when a new frame waits, copies it to
// imageRaw (length bytes, at least the buffer's size), clears the mark and
// returns true.
bool TakeNewestFrame(int position, const CameraFrameBuffer& buffer, uint8_t* imageRaw, size_t length);
// The same without a copy: when a new frame waits, unshare() is called to
// make frame a buffer nobody else holds, and frame and the buffer's frame
// change places (the producer writes the next frame into frame's former
// buffer). A frame of another size or type than the buffer's gets a copy
// when it is large enough, as above. mean (when given) is the frame's mean.
bool TakeNewestFrame(int position, CameraFrameBuffer& buffer, cv::Mat& frame, const std::function<void()>& unshare,
                     cv::Scalar* mean = nullptr);

// Whether the latest frame offered at position was refused, with its size.
struct FrameRefusal {
    bool refused = false;
    int width = 0;
    int height = 0;
};
FrameRefusal LatestFrameRefusal(int position, const CameraFrameBuffer& buffer);
