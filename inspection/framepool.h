#pragma once
// Frame buffers of one camera position, reused.
//
// A frame on show is not copied: the frame on show and the picture thread's
// order share the newest frame's buffer (cv::Mat reference counts). The rule
// that makes this safe: a buffer that is shared is never written in place.
// Whoever writes a frame in place first makes it a buffer only it holds
// (Detach); the buffers given for that are the pool's, reused once nobody
// else holds them, so that memory stays flat.

#include <opencv2/core/mat.hpp>

#include <mutex>
#include <vector>

class FramePool
{
public:
    // frame keeps its buffer when nobody else holds it; otherwise it gets a
    // buffer of its size and type that nobody else holds, whose pixels are
    // not kept (the writer writes them all). An empty frame stays empty.
    void Detach(cv::Mat& frame);

    // Whether anyone besides frame (and this pool) holds frame's buffer.
    bool Shared(const cv::Mat& frame) const;

    static constexpr size_t kBuffers = 4;

private:
    int holders(const cv::Mat& frame) const;

    mutable std::mutex mutex;
    std::vector<cv::Mat> buffers;   // at most kBuffers
    size_t next = 0;                // the buffer replaced when the pool is full
};
