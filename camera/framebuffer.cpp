#include "camera/framebuffer.h"

#include "core/globals.h"

#include <QMutex>
#include <QMutexLocker>
#include <opencv2/imgproc.hpp>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

void CameraFrameBuffer::allocate(int w, int h, bool colourMode)
{
    width = w;
    height = h;
    colour = colourMode;
    imageIn = cv::Mat::zeros(h, w, colourMode ? CV_8UC4 : CV_8UC1);
}

namespace {

constexpr int kProducerNiceStep = 5;
constexpr int kLowestNice = 19;

bool validPosition(int position)
{
    return position >= 0 && position < kMaxCameras && pMutex[position];
}

// Writes frame into out (the buffer's layout) in one pass.
void convert(const FrameView& frame, cv::Mat& out)
{
    const int channels = frame.layout == PixelLayout::Rgb24 ? 3 : 1;
    const size_t step = frame.stride ? static_cast<size_t>(frame.stride) : static_cast<size_t>(frame.width) * channels;
    const cv::Mat in(frame.height, frame.width, CV_8UC(channels), const_cast<uint8_t*>(frame.data), step);
    if (out.channels() == 4)
        cv::cvtColor(in, out, channels == 3 ? cv::COLOR_RGB2BGRA : cv::COLOR_GRAY2BGRA);
    else if (channels == 3)
        cv::cvtColor(in, out, cv::COLOR_RGB2GRAY);
    else
        in.copyTo(out);
}

// A producer gives way to the run controller: frames of all cameras come at
// once, and their copies must not hold up a polling pass that waits for a
// processor. The calling thread (ours or the camera library's) lowers its own
// priority, once.
void yieldToController()
{
    thread_local bool lowered = false;
    if (lowered)
        return;
    lowered = true;
    const auto self = static_cast<id_t>(syscall(SYS_gettid));
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, self);
    if (errno == 0)
        setpriority(PRIO_PROCESS, self, std::min(nice + kProducerNiceStep, kLowestNice));
}

}  // namespace

bool HandOverFrame(int position, CameraFrameBuffer& buffer, const FrameView& frame)
{
    if (!validPosition(position) || buffer.width <= 0 || buffer.height <= 0
        || buffer.size() != static_cast<size_t>(buffer.width) * buffer.height * (buffer.colour ? 4 : 1))
        return false;
    yieldToController();
    const bool usable = frame.data && frame.width == buffer.width && frame.height == buffer.height;
    cv::Scalar mean;
    if (usable) {
        // Written and measured outside the lock: the taker never waits for
        // a copy, nor for a producer that lost its processor meanwhile.
        buffer.spare.create(buffer.height, buffer.width, buffer.colour ? CV_8UC4 : CV_8UC1);
        convert(frame, buffer.spare);
        mean = cv::mean(buffer.spare);   // here rather than on the thread that takes the frame
    }
    QMutexLocker lock(pMutex[position]);
    buffer.lastRefused = !usable;
    buffer.refusedWidth = usable ? 0 : frame.width;
    buffer.refusedHeight = usable ? 0 : frame.height;
    if (!usable)
        return false;
    std::swap(buffer.imageIn, buffer.spare);
    buffer.mean = mean;
    isImageFill[position] = true;
    return true;
}

FrameRefusal LatestFrameRefusal(int position, const CameraFrameBuffer& buffer)
{
    if (!validPosition(position))
        return {};
    QMutexLocker lock(pMutex[position]);
    return {buffer.lastRefused, buffer.refusedWidth, buffer.refusedHeight};
}

namespace {

// Under the position's lock, when a new frame waits: take() takes it over
// (false: nothing taken) and the mark is cleared.
template <class Take>
bool takeWaiting(int position, Take take)
{
    if (!validPosition(position))
        return false;
    QMutexLocker lock(pMutex[position]);
    if (!isImageFill[position] || !take())
        return false;
    isImageFill[position] = false;
    return true;
}

bool copyInto(const CameraFrameBuffer& buffer, uint8_t* out, size_t length)
{
    if (!out || length < buffer.size())
        return false;
    std::memcpy(out, buffer.imageIn.data, buffer.size());
    return true;
}

}  // namespace

bool TakeNewestFrame(int position, const CameraFrameBuffer& buffer, uint8_t* imageRaw, size_t length)
{
    return takeWaiting(position, [&] { return copyInto(buffer, imageRaw, length); });
}

bool TakeNewestFrame(int position, CameraFrameBuffer& buffer, cv::Mat& frame, const std::function<void()>& unshare,
                     cv::Scalar* mean)
{
    return takeWaiting(position, [&] {
        if (mean)
            *mean = buffer.mean;
        const cv::Mat& in = buffer.imageIn;
        const bool alike = frame.size == in.size && frame.type() == in.type() && frame.isContinuous();
        const size_t length = frame.total() * frame.elemSize();
        if (!alike && (!frame.isContinuous() || length < buffer.size()))
            return false;
        unshare();   // keeps frame's size and type
        if (!alike)
            return copyInto(buffer, frame.data, length);
        std::swap(frame, buffer.imageIn);
        return true;
    });
}
