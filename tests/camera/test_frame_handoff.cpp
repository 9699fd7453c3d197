// The run controller's take-over of a camera's newest frame without a copy:
// the view's frame and the camera's buffers change places, the view's frame
// being made one nobody else holds first, and only when a frame waits.

#include "camera/framebuffer.h"
#include "core/globals.h"

#include <QMutex>
#include <gtest/gtest.h>
#include <opencv2/core.hpp>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <thread>
#include <set>
#include <vector>

namespace {

constexpr int kW = 16;
constexpr int kH = 12;

class FrameHandOff : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!pMutex[0])
            pMutex[0] = new QMutex;
        isImageFill[0] = false;
        buffer.allocate(kW, kH, false);
    }
    void TearDown() override { isImageFill[0] = false; }

    void handOver(uchar level)
    {
        std::vector<uint8_t> pixels(kW * kH, level);
        ASSERT_TRUE(HandOverFrame(0, buffer, FrameView{pixels.data(), kW, kH, PixelLayout::Grey8, 0}));
    }
    bool take(cv::Mat& frame)
    {
        return TakeNewestFrame(0, buffer, frame, [&] { ++unshared; });
    }

    CameraFrameBuffer buffer;
    int unshared = 0;
};

TEST_F(FrameHandOff, TheViewsFrameAndTheCamerasBuffersChangePlaces)
{
    cv::Mat frame(kH, kW, CV_8UC1, cv::Scalar(1));
    const uchar* viewBuffer = frame.data;
    EXPECT_FALSE(take(frame));   // nothing waits: frame as it was, not unshared
    EXPECT_EQ(unshared, 0);
    EXPECT_EQ(frame.data, viewBuffer);

    std::set<const uchar*> buffers{viewBuffer};
    uchar shown = 1;
    for (uchar level : {40, 90, 140, 190, 240}) {
        SCOPED_TRACE(int(level));
        const uchar* held = frame.data;
        handOver(level);   // never into the frame the view holds
        EXPECT_EQ(cv::countNonZero(frame != shown), 0);
        ASSERT_TRUE(take(frame));
        EXPECT_NE(frame.data, held);
        EXPECT_EQ(cv::countNonZero(frame != level), 0);
        EXPECT_FALSE(take(frame));   // taken once
        shown = level;
        buffers.insert(frame.data);
    }
    EXPECT_EQ(unshared, 5);
    // The view's frame, the camera's incoming one and the one it writes
    // next, reused.
    EXPECT_LE(buffers.size(), 3u);
}

// The frame's mean comes with it, measured by the producer that handed it over.
TEST_F(FrameHandOff, TheMeanOfTheFrameTakenComesWithIt)
{
    std::vector<uint8_t> pixels(kW * kH, 10);
    std::fill(pixels.begin(), pixels.begin() + kW * kH / 4, 210);   // a quarter bright: mean 60
    ASSERT_TRUE(HandOverFrame(0, buffer, FrameView{pixels.data(), kW, kH, PixelLayout::Grey8, 0}));
    cv::Mat frame(kH, kW, CV_8UC1, cv::Scalar(0));
    cv::Scalar mean;
    ASSERT_TRUE(TakeNewestFrame(0, buffer, frame, [] {}, &mean));
    EXPECT_DOUBLE_EQ(mean[0], 60.0);
    EXPECT_DOUBLE_EQ(mean[0], cv::mean(frame)[0]);
}

// A frame of another size or type gets a copy when it holds the buffer's
// bytes; one too small is left as it was.
TEST_F(FrameHandOff, AFrameUnlikeTheBufferIsCopiedIntoOrLeftAlone)
{
    const struct {
        const char* name;
        cv::Mat frame;
        bool taken;
    } cases[] = {
        {"same bytes, other shape", cv::Mat(kW, kH, CV_8UC1, cv::Scalar(1)), true},
        {"larger", cv::Mat(kH, kW, CV_8UC4, cv::Scalar::all(1)), true},
        {"too small", cv::Mat(kH - 1, kW, CV_8UC1, cv::Scalar(1)), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        cv::Mat frame = c.frame.clone();
        const uchar* own = frame.data;
        unshared = 0;
        handOver(40);
        EXPECT_EQ(take(frame), c.taken);
        EXPECT_EQ(frame.data, own);
        EXPECT_EQ(unshared, int(c.taken));
        EXPECT_EQ(frame.data[0], c.taken ? 40 : 1);
        const size_t last = std::min(buffer.size(), frame.total() * frame.elemSize()) - 1;
        EXPECT_EQ(frame.data[last], c.taken ? 40 : 1);
        isImageFill[0] = false;
    }
}

// Frames of every camera come at once: the threads that hand them over give
// way to the run controller's passes, each lowering its own priority once.
TEST_F(FrameHandOff, AProducerThreadGivesWayOnce)
{
    std::vector<uint8_t> pixels(kW * kH, 5);
    const FrameView frame{pixels.data(), kW, kH, PixelLayout::Grey8, 0};
    int before = 0, first = 0, second = 0;
    std::thread producer([&] {
        const auto self = static_cast<id_t>(syscall(SYS_gettid));
        before = getpriority(PRIO_PROCESS, self);
        HandOverFrame(0, buffer, frame);
        first = getpriority(PRIO_PROCESS, self);
        HandOverFrame(0, buffer, frame);
        second = getpriority(PRIO_PROCESS, self);
    });
    producer.join();
    EXPECT_EQ(first, std::min(before + 5, 19));
    EXPECT_EQ(second, first);
    EXPECT_EQ(getpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid))), before);   // this thread's own
}

}  // namespace
