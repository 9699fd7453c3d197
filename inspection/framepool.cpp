#include "inspection/framepool.h"

#include <opencv2/core/cvdef.h>

namespace {

// The reference count of frame's buffer; 0 for pixels the Mat does not own.
int references(const cv::Mat& frame)
{
    return frame.u ? CV_XADD(&frame.u->refcount, 0) : 0;
}

bool fits(const cv::Mat& buffer, const cv::Mat& frame)
{
    return buffer.size == frame.size && buffer.type() == frame.type();
}

}  // namespace

int FramePool::holders(const cv::Mat& frame) const
{
    int pooled = 0;
    for (const cv::Mat& buffer : buffers)
        pooled += buffer.u == frame.u;
    return references(frame) - pooled;
}

bool FramePool::Shared(const cv::Mat& frame) const
{
    std::lock_guard<std::mutex> lock(mutex);
    return frame.u && holders(frame) > 1;
}

void FramePool::Detach(cv::Mat& frame)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (frame.empty() || !frame.u || holders(frame) <= 1)
        return;
    for (const cv::Mat& buffer : buffers)
        if (references(buffer) == 1 && fits(buffer, frame)) {
            frame = buffer;
            return;
        }
    cv::Mat fresh(frame.dims, frame.size.p, frame.type());
    if (buffers.size() < kBuffers)
        buffers.push_back(fresh);
    else
        buffers[next++ % kBuffers] = fresh;
    frame = fresh;
}
